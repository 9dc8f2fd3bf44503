#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "platform/linux/FilePreferenceDomains.h"
#include "support/Desktop.h"
#include "support/Processes.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"
#include "support/XServer.h"

namespace quayline::x11test {
namespace {

template <typename T>
std::unique_ptr<T, decltype(&std::free)> owned(T* reply) {
  return {reply, &std::free};
}

std::string property(RunningDock& dock, xcb_window_t window, const char* name) {
  auto reply =
      owned(xcb_get_property_reply(dock.connection(),
                                   xcb_get_property(dock.connection(), 0, window, dock.atom(name),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr));
  if (!reply) {
    return {};
  }
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

bool hasState(Probe& probe, xcb_window_t window, const char* state) {
  const auto states = probe.cardinals(window, "_NET_WM_STATE");
  return std::find(states.begin(), states.end(), probe.atom(state)) != states.end();
}

// The program's top-level window with this title; without a window manager nothing lists it, so
// the root's children are searched.
xcb_window_t titledWindow(RunningDock& dock, std::string_view title) {
  auto tree = owned(xcb_query_tree_reply(
      dock.connection(),
      xcb_query_tree(dock.connection(),
                     xcb_setup_roots_iterator(xcb_get_setup(dock.connection())).data->root),
      nullptr));
  if (!tree) {
    return XCB_WINDOW_NONE;
  }
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
    if (property(dock, children[i], "_NET_WM_NAME") == title &&
        dock.windowPid(children[i]) == dock.pid()) {
      return children[i];
    }
  }
  return XCB_WINDOW_NONE;
}

TEST(Onboarding, ShowsWithoutAWindowManagerAndGoesAwayOnceOneStarts) {
  const auto logs = X11Environment::instance().root() / "logs";
  auto server = XServer::start(logs, XServer::WindowManager::none);
  ASSERT_NE(server, nullptr);
  ScopedDisplay display(server->display());
  RunningDock dock;
  ASSERT_TRUE(dock.started()) << dock.logText();

  xcb_window_t window = XCB_WINDOW_NONE;
  ASSERT_TRUE(waitUntil([&] {
    window = titledWindow(dock, "Welcome to Quayline");
    return dock.clientFrame(window).viewable;
  })) << dock.logText();
  dock.screenshot(logs / "onboarding.png");
  // Above other windows, as a window manager keeps it once one runs.
  Probe probe(server->display().c_str());
  EXPECT_TRUE(hasState(probe, window, "_NET_WM_STATE_ABOVE"));

  const pid_t manager = spawnProcess("openbox", {}, (logs / "onboarding-openbox.log").string());
  ASSERT_GT(manager, 0);
  // The window manager unmaps the window for a moment as it takes it over: the window closed once
  // onboarding is stored as finished.
  const auto completed = [] {
    FilePreferenceDomains domains(FilePreferenceDomains::defaultDirectory());
    const auto value = domains.copy(PreferenceDomains::application, "quayline.onboardingCompleted");
    return value && value->boolean() && *value->boolean();
  };
  EXPECT_TRUE(waitUntil([&] { return completed() && !dock.clientFrame(window).viewable; }))
      << dock.logText();
  EXPECT_TRUE(dock.runs());
  stopProcess(manager);
}

}  // namespace
}  // namespace quayline::x11test
