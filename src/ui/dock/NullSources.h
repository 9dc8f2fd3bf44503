#pragma once

#include "dock/BadgeSource.h"
#include "dock/TileHover.h"

namespace quayline {

// Stand-ins for services this build does not have yet: no badges, no previews.
class NoBadges final : public BadgeSource {
 public:
  std::optional<std::string> badge(const std::string&) const override { return std::nullopt; }
  Subscription observeBadges(std::function<void()>) override { return {}; }
};

class NoPreviews final : public TileHoverSink {
 public:
  void tileEntered(const TileHover&) override {}
  void tileExited(const Tile&) override {}
};

}  // namespace quayline
