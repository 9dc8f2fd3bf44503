#pragma once

#include <optional>
#include <string>

#include "platform/DesktopActions.h"

namespace quayline {

// Records the gestures asked for; the unavailable reasons are set by the test.
class FakeDesktopActions final : public DesktopActions {
 public:
  void toggleShowDesktop() override {
    showingDesktop = !showingDesktop;
    ++showDesktopToggles;
  }
  void showWindowOverview() override { ++overviews; }
  std::optional<std::string> windowOverviewUnavailable() const override { return overviewReason; }
  std::optional<std::string> stageManagerUnavailable() const override { return stageReason; }

  bool showingDesktop = false;
  int showDesktopToggles = 0;
  int overviews = 0;
  std::optional<std::string> overviewReason;
  std::optional<std::string> stageReason;
};

}  // namespace quayline
