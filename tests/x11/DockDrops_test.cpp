// Files dragged from another program onto the real dock over XDND, with synthetic pointer input.
#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/xtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "foundation/FileReading.h"
#include "support/Processes.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

namespace fs = std::filesystem;

void button(RunningDock& dock, bool down) {
  xcb_test_fake_input(dock.connection(), down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, 1,
                      XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
  dock.sync();
}

// Moves the pointer in small steps, as a hand would, giving both programs time to talk.
void glide(RunningDock& dock, std::pair<int, int> from, std::pair<int, int> to) {
  constexpr int kSteps = 24;
  for (int step = 1; step <= kSteps; ++step) {
    dock.movePointer(from.first + (to.first - from.first) * step / kSteps,
                     from.second + (to.second - from.second) * step / kSteps);
    waitUntil([] { return false; }, std::chrono::milliseconds(25));
  }
}

struct DragSourceProgram {
  explicit DragSourceProgram(const std::vector<std::string>& files)
      : pid(spawnProcess(
            QUAYLINE_TEST_DRAG_SOURCE, files,
            (X11Environment::instance().root() / "logs" / "drag-source.log").string())) {}
  ~DragSourceProgram() { stopProcess(pid); }
  pid_t pid;
};

TEST(DockDrops, AFileDraggedOntoTheTrashTileEndsInTheTrash) {
  const fs::path root = X11Environment::instance().root();
  const fs::path file = root / "home" / "Report.txt";
  std::ofstream(file) << "quarterly";
  RunningDock dock({.pinned = std::vector<PinnedItem>{}, .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const DragSourceProgram source({file.string()});
  const xcb_window_t window = dock.waitForWindow("DragSource");
  ASSERT_NE(window, XCB_WINDOW_NONE);
  const auto trash = dock.tileCentre("trailing:trash");
  ASSERT_TRUE(trash) << dock.describeRow();

  const WindowFrame frame = dock.clientFrame(window);
  const std::pair<int, int> start{frame.x + frame.width / 2, frame.y + frame.height / 2};
  dock.movePointer(start.first, start.second);
  button(dock, true);
  glide(dock, start, *trash);
  waitUntil([] { return false; }, std::chrono::milliseconds(300));
  button(dock, false);

  const fs::path trashed = root / "data" / "Trash" / "files" / "Report.txt";
  const fs::path info = root / "data" / "Trash" / "info" / "Report.txt.trashinfo";
  EXPECT_TRUE(waitUntil([&] { return fs::exists(trashed) && fs::exists(info); }))
      << dock.logText() << readFile(root / "logs" / "drag-source.log").value_or("");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(readFile(trashed).value_or(""), "quarterly");
  const std::string description = readFile(info).value_or("");
  EXPECT_NE(description.find("Path=" + file.string()), std::string::npos) << description;
}

}  // namespace
}  // namespace quayline::x11test
