#pragma once

#include <functional>

#include "platform/DesktopActions.h"

namespace quayline::x11 {

class XConnection;

// The desktop gestures on an EWMH window manager. Showing the desktop is the window manager's
// _NET_SHOWING_DESKTOP mode; the window overview is the dock's own, when one is given; there is
// no stage manager.
class X11DesktopActions final : public DesktopActions {
 public:
  // `overview` shows the dock's own window overview; empty while there is none.
  X11DesktopActions(XConnection& connection, std::function<void()> overview = {})
      : connection_(connection), overview_(std::move(overview)) {}

  void toggleShowDesktop() override;
  void showWindowOverview() override;
  std::optional<std::string> windowOverviewUnavailable() const override;
  std::optional<std::string> stageManagerUnavailable() const override;

  // Whether the window manager shows the desktop now.
  bool showsDesktop();

 private:
  XConnection& connection_;
  std::function<void()> overview_;
};

}  // namespace quayline::x11
