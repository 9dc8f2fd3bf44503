#pragma once

#include <optional>

namespace quayline {

// The appearance the whole application draws with.
class ApplicationAppearance {
 public:
  enum class Name { light, dark };
  virtual ~ApplicationAppearance() = default;
  // Nothing follows the desktop's own appearance.
  virtual void set(std::optional<Name> name) = 0;
};

}  // namespace quayline
