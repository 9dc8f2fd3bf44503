#pragma once

#include <cstdlib>
#include <memory>

namespace quayline::x11 {

// Every reply and event libxcb hands out is malloc'ed and ours to free.
struct FreeDeleter {
  void operator()(void* pointer) const { std::free(pointer); }
};

template <typename T>
using XReply = std::unique_ptr<T, FreeDeleter>;

}  // namespace quayline::x11
