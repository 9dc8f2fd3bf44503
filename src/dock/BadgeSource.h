#pragma once

#include <functional>
#include <optional>
#include <string>

#include "foundation/Subscription.h"

namespace quayline {

// Badge texts by bundle identifier, as the badge service publishes them.
class BadgeSource {
 public:
  virtual ~BadgeSource() = default;
  virtual std::optional<std::string> badge(const std::string& bundleIdentifier) const = 0;
  // Called after every real change of the badge set.
  virtual Subscription observeBadges(std::function<void()> observer) = 0;
};

}  // namespace quayline
