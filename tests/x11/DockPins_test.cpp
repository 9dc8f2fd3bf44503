// quayline-pins changing the pinned list under a running dock.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "support/Processes.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"
#include "tools/ToolProcess.h"

extern char** environ;

namespace quayline::x11test {
namespace {

tools::ToolResult pins(const std::vector<std::string>& arguments) {
  std::vector<std::string> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    environment.emplace_back(*variable);
  }
  return tools::runTool(QUAYLINE_STAGE_DIR "/bin/quayline-pins", arguments, environment);
}

TEST(DockPins, TheRunningDockShowsAPinAddedByTheCommandAtOnce) {
  const InstalledEntry entry(
      "org.quayline.Pinned.desktop",
      clientEntry("Pinned", "--title Pinned --class pinned,Pinned", "Pinned"));
  RunningDock dock({.pinned = std::vector<PinnedItem>{}, .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const int widthBefore = dock.dockFrame().width;

  const auto start = std::chrono::steady_clock::now();
  const tools::ToolResult added = pins({"add", "org.quayline.Pinned", "--index", "0"});
  ASSERT_EQ(added.status, 0) << added.err;
  ASSERT_TRUE(waitUntil([&] { return dock.dockFrame().width > widthBefore; })) << dock.logText();
  std::printf("pin shown after %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - start)
                                         .count()));
  // A failed second command leaves the row as it was.
  const tools::ToolResult again = pins({"add", "org.quayline.Pinned"});
  EXPECT_EQ(again.status, 1);

  // The new tile is the dock's own now, first after the Finder: clicking it starts the
  // application.
  ASSERT_EQ(dock.tiles().at(1).id, "pinned:app:org.quayline.Pinned");
  ASSERT_TRUE(dock.click("pinned:app:org.quayline.Pinned")) << dock.describeRow();
  const xcb_window_t window = dock.waitForWindow("Pinned");
  ASSERT_NE(window, XCB_WINDOW_NONE) << dock.logText();
  const Launched launched{dock.windowPid(window)};
}

}  // namespace
}  // namespace quayline::x11test
