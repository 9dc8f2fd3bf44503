#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/Url.h"

namespace quayline {

// One profile of the browser, as its "Local State" file describes it.
struct ChromeProfile {
  std::string directory;
  std::string name;
  std::string givenName;
  std::string accountName;
  std::string email;
  bool usesDefaultName = false;
  std::optional<Url> avatarURL;
  std::string avatarIconValue;
  std::optional<std::uint32_t> badgeColorARGB;

  bool operator==(const ChromeProfile&) const = default;
};

}  // namespace quayline
