#pragma once

#include <memory>
#include <string>

#include "platform/ArgbImage.h"

namespace quayline {

// A profile's picture and what it was made from. `version` changes with the picture (the
// file's size and modification time, the built-in avatar's number), so anything rasterised
// from it can be cached under a key that goes stale with it.
struct ChromeAvatar {
  std::shared_ptr<const ArgbImage> image;
  std::string version;
};

}  // namespace quayline
