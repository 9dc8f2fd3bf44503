// Activation requests under a window manager that prevents focus stealing: metacity ignores a
// request whose time is older than the user's last interaction.
#include <gtest/gtest.h>

#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

// A server time from the probe's own connection: a zero-length append answered by its event.
xcb_timestamp_t serverTime(Probe& probe, xcb_window_t window) {
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(probe.connection(), window, XCB_CW_EVENT_MASK, &mask);
  xcb_change_property(probe.connection(), XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME,
                      XCB_ATOM_STRING, 8, 0, nullptr);
  xcb_flush(probe.connection());
  while (xcb_generic_event_t* event = xcb_wait_for_event(probe.connection())) {
    const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
    const bool found = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                       notify->window == window && notify->atom == XCB_ATOM_WM_NAME;
    const xcb_timestamp_t time = notify->time;
    std::free(event);
    if (found) {
      return time;
    }
  }
  return XCB_CURRENT_TIME;
}

TEST(WindowActivation, ARequestAfterANewerUserInteractionStillActivates) {
  if (!XServer::installed(XServer::WindowManager::metacity)) {
    GTEST_SKIP() << "metacity is not installed";
  }
  const auto logs = X11Environment::instance().root() / "logs";
  const auto server = XServer::start(logs, XServer::WindowManager::metacity);
  ASSERT_NE(server, nullptr) << "metacity did not start; see " << logs;
  const ScopedDisplay display(server->display());
  Desktop desktop;
  Probe probe;
  TestClient alpha({"--title", "Alpha", "--class", "alpha,Alpha"});
  TestClient beta({"--title", "Beta", "--class", "beta,Beta"});
  std::vector<AXElement> alphaWindows;
  std::vector<AXElement> betaWindows;
  ASSERT_TRUE(waitUntil([&] {
    alphaWindows = desktop.windows(alpha.pid());
    betaWindows = desktop.windows(beta.pid());
    return alphaWindows.size() == 1 && betaWindows.size() == 1 &&
           desktop.applicationWithPid(alpha.pid());
  }));
  const xcb_window_t alphaWindow = *desktop.accessibility->windowNumber(alphaWindows[0]);
  const xcb_window_t betaWindow = *desktop.accessibility->windowNumber(betaWindows[0]);
  const auto active = [&] {
    const auto values = probe.cardinals(probe.root(), "_NET_ACTIVE_WINDOW");
    return values.empty() ? xcb_window_t{XCB_WINDOW_NONE} : values.front();
  };
  probe.sendToRoot(betaWindow, "_NET_ACTIVE_WINDOW", {2, serverTime(probe, betaWindow), 0, 0, 0});
  ASSERT_TRUE(waitUntil([&] { return active() == betaWindow; }));

  // The user types into Beta: its toolkit records the time as the window's user time. Nothing
  // of this reaches the adapter's connection before it asks.
  const std::uint32_t typed = serverTime(probe, betaWindow);
  xcb_change_property(probe.connection(), XCB_PROP_MODE_REPLACE, betaWindow,
                      probe.atom("_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &typed);
  probe.sync();
  ASSERT_TRUE(desktop.workspace->activate(alpha.pid()));
  EXPECT_TRUE(waitUntil([&] { return active() == alphaWindow; })) << "active: " << active();

  // The same through accessibility, and a close request after another interaction.
  const std::uint32_t later = serverTime(probe, alphaWindow);
  xcb_change_property(probe.connection(), XCB_PROP_MODE_REPLACE, alphaWindow,
                      probe.atom("_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &later);
  probe.sync();
  ASSERT_TRUE(desktop.accessibility->performAction(betaWindows[0], AX::raise));
  EXPECT_TRUE(waitUntil([&] { return active() == betaWindow; })) << "active: " << active();
}

}  // namespace
}  // namespace quayline::x11test
