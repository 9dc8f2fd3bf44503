#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/PropertyValue.h"

namespace quayline {

// Typed values per preference domain: the application's own settings ("com.orrin.quayline"),
// the system dock's domain ("com.apple.dock") and the settings every application shares.
class PreferenceDomains {
 public:
  // Quayline's own domain.
  static constexpr std::string_view application = "com.orrin.quayline";
  // The domain whose values every application sees.
  static constexpr std::string_view anyApplication = "NSGlobalDomain";

  virtual ~PreferenceDomains() = default;

  // The stored value, or nothing when the key (or the whole domain) is absent.
  virtual std::optional<PropertyValue> copy(std::string_view domain, std::string_view key) = 0;

  // Stores the value; nothing removes the key. Written through at once.
  virtual void set(std::string_view domain, std::string_view key,
                   std::optional<PropertyValue> value) = 0;

  // Writes what is pending and re-reads what other processes wrote. False when the domain
  // could not be written.
  virtual bool synchronize(std::string_view domain) = 0;

  // Every key and value of the domain.
  virtual PropertyValue::Dictionary copyAll(std::string_view domain) = 0;

  // The domains that hold any value.
  virtual std::vector<std::string> domains() = 0;
};

}  // namespace quayline
