#pragma once

#include "platform/ApplicationAppearance.h"

namespace quayline {

// While the program shows no windows there is nothing to draw in an appearance; the choice is
// remembered so that the first window can take it.
class NoWindowAppearance final : public ApplicationAppearance {
 public:
  void set(std::optional<Name> name) override { current_ = name; }
  std::optional<Name> current() const { return current_; }

 private:
  std::optional<Name> current_;
};

}  // namespace quayline
