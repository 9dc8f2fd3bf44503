#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/PropertyValue.h"

namespace quayline {

// The installed program: its information dictionary and the helper programs shipped with it.
class ApplicationBundle {
 public:
  virtual ~ApplicationBundle() = default;
  // A value of the information dictionary, or nothing when the key or the file is missing.
  virtual std::optional<PropertyValue> infoValue(std::string_view key) = 0;
  // The absolute path of a helper program shipped beside the program, when it is there.
  virtual std::optional<std::string> auxiliaryExecutable(std::string_view name) = 0;
};

}  // namespace quayline
