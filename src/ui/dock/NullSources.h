#pragma once

#include "dock/BadgeSource.h"
#include "dock/TileHover.h"
#include "dock/TrashDropFeedback.h"
#include "dock/TrashState.h"

namespace quayline {

// Stand-ins for services this build does not have yet: no badges, an empty trash, no previews.
class NoBadges final : public BadgeSource {
 public:
  std::optional<std::string> badge(const std::string&) const override { return std::nullopt; }
  Subscription observeBadges(std::function<void()>) override { return {}; }
};

class UnknownTrash final : public TrashState {
 public:
  bool isFull() const override { return false; }
  Subscription observeTrash(std::function<void()>) override { return {}; }
};

// Without the Trash's service there is no drop sound and no state to refresh.
class SilentTrash final : public TrashDropFeedback {
 public:
  void playDropSound() override {}
  void refresh() override {}
};

class NoPreviews final : public TileHoverSink {
 public:
  void tileEntered(const TileHover&) override {}
  void tileExited(const Tile&) override {}
};

}  // namespace quayline
