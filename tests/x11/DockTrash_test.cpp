// The real dock's Trash tile: it turns full within the refresh period after something is
// trashed, and "Empty Trash…" asks first, erasing nothing on Cancel.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

namespace fs = std::filesystem;
using Button = RunningDock::Button;

constexpr const char* kTrashTile = "trailing:trash";

// Colours at a grid of points over the tile's icon: they change with the icon.
std::vector<std::optional<std::uint32_t>> iconPixels(RunningDock& dock, int tileSize) {
  std::vector<std::optional<std::uint32_t>> pixels;
  const auto centre = dock.tileCentre(kTrashTile);
  if (!centre) {
    return pixels;
  }
  for (int dy = -tileSize / 3; dy <= tileSize / 3; dy += 4) {
    for (int dx = -tileSize / 3; dx <= tileSize / 3; dx += 4) {
      pixels.push_back(dock.pixel(centre->first + dx, centre->second + dy));
    }
  }
  return pixels;
}

TEST(DockTrash, TheTileTurnsFullWithinTheRefreshPeriodAndEmptyingAsksFirst) {
  const fs::path trash = fs::path(std::getenv("XDG_DATA_HOME")) / "Trash";
  fs::create_directories(trash / "files");
  fs::create_directories(trash / "info");
  std::ofstream(trash / "files/.DS_Store") << "";
  const int tileSize = 64;
  RunningDock dock({.pinned = std::vector<PinnedItem>{},
                    .trailing = std::vector<PinnedItem>{},
                    .tileSize = tileSize});
  ASSERT_TRUE(dock.started()) << dock.logText();
  dock.movePointer(0, 0);
  ASSERT_TRUE(dock.tileCentre(kTrashTile)) << dock.describeRow();
  // Only the folder settings: the empty icon, steady.
  std::vector<std::optional<std::uint32_t>> empty;
  ASSERT_TRUE(waitUntil([&] {
    auto now = iconPixels(dock, tileSize);
    const bool steady = !now.empty() && now == empty;
    empty = std::move(now);
    return steady;
  }));

  std::ofstream(trash / "files/report.txt") << "old";
  std::ofstream(trash / "info/report.txt.trashinfo")
      << "[Trash Info]\nPath=/tmp/report.txt\nDeletionDate=2026-01-01T00:00:00\n";
  // The 5 s refresh period itself is checked on the virtual clock; here only that a refresh
  // comes, with room for a loaded machine.
  ASSERT_TRUE(waitUntil([&] { return iconPixels(dock, tileSize) != empty; },
                        std::chrono::seconds(20)))
      << "the icon never changed";

  // "Empty Trash…" is the menu's last item; the question's default button is Cancel. Keys go
  // to the question only once the window manager has given it the focus.
  const auto emptyTrash = [&] {
    EXPECT_TRUE(dock.click(kTrashTile, Button::secondary));
    EXPECT_TRUE(waitUntil([&] { return !dock.popupWindows().empty(); }));
    const WindowFrame menu = dock.clientFrame(dock.popupWindows().front());
    dock.clickAt(menu.x + menu.width / 2, menu.bottom() - 12);
    const xcb_window_t window = dock.waitForWindow("Quayline");
    EXPECT_TRUE(waitUntil([&] { return dock.activeWindow() == window; }));
    return window;
  };
  xcb_window_t question = emptyTrash();
  ASSERT_NE(question, XCB_WINDOW_NONE) << dock.logText();
  dock.pressKey(XK_Return);
  ASSERT_TRUE(waitUntil([&] { return dock.clientWindows("Quayline").empty(); }));
  EXPECT_TRUE(fs::exists(trash / "files/report.txt")) << "Cancel erased the Trash";
  EXPECT_TRUE(fs::exists(trash / "info/report.txt.trashinfo"));

  // The other button confirms.
  question = emptyTrash();
  ASSERT_NE(question, XCB_WINDOW_NONE) << dock.logText();
  dock.pressKey(XK_Tab);
  dock.pressKey(XK_space);
  EXPECT_TRUE(waitUntil([&] { return !fs::exists(trash / "files/report.txt"); }));
  EXPECT_FALSE(fs::exists(trash / "info/report.txt.trashinfo"));
  EXPECT_TRUE(waitUntil([&] { return iconPixels(dock, tileSize) == empty; }))
      << "the tile did not turn empty";
}

}  // namespace
}  // namespace quayline::x11test
