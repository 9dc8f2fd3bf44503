#pragma once

#include <map>
#include <string>

#include "platform/ApplicationBundle.h"

namespace quayline {

// An installed program whose information dictionary and helper programs are plain maps.
class FakeApplicationBundle final : public ApplicationBundle {
 public:
  std::optional<PropertyValue> infoValue(std::string_view key) override {
    auto found = info.find(key);
    return found == info.end() ? std::nullopt : std::optional<PropertyValue>(found->second);
  }
  std::optional<std::string> auxiliaryExecutable(std::string_view name) override {
    auto found = auxiliaryExecutables.find(name);
    return found == auxiliaryExecutables.end() ? std::nullopt
                                               : std::optional<std::string>(found->second);
  }

  std::map<std::string, PropertyValue, std::less<>> info;
  std::map<std::string, std::string, std::less<>> auxiliaryExecutables;  // name to path
};

}  // namespace quayline
