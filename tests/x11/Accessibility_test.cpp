#include <gtest/gtest.h>

#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

// The application of a test client, once it shows `windowCount` windows.
ProcessId started(Desktop& desktop, const TestClient& client, std::size_t windowCount = 1) {
  EXPECT_TRUE(waitUntil([&] { return desktop.windows(client.pid()).size() == windowCount; }))
      << "client " << client.pid() << " running: " << client.runs()
      << ", managed windows: " << Probe().clientList().size();
  return client.pid();
}

TEST(X11Accessibility, ListsAnApplicationsWindowsInMappingOrderWithTheirProperties) {
  Desktop desktop;
  Probe probe;
  TestClient editor({"--title", "Document", "--class", "editor,Editor", "--windows", "2"});
  const auto windows = desktop.windows(started(desktop, editor, 2));
  ASSERT_EQ(windows.size(), 2u);

  // Window numbers are the client windows, in the window manager's client list order.
  std::vector<std::uint32_t> numbers;
  for (const auto& window : windows) {
    numbers.push_back(desktop.accessibility->windowNumber(window).value_or(0));
  }
  std::vector<std::uint32_t> listed;
  for (const auto window : probe.clientList()) {
    if (std::find(numbers.begin(), numbers.end(), window) != numbers.end()) {
      listed.push_back(window);
    }
  }
  EXPECT_EQ(numbers, listed);
  EXPECT_FALSE(
      desktop.accessibility->windowNumber(desktop.accessibility->applicationElement(editor.pid())));

  EXPECT_EQ(desktop.read<std::string>(windows[0], AX::title), "Document 1");
  EXPECT_EQ(desktop.read<std::string>(windows[1], AX::title), "Document 2");
  EXPECT_EQ(desktop.read<std::string>(windows[0], AX::subrole), AX::standardWindow);
  EXPECT_EQ(desktop.read<bool>(windows[0], AX::minimized), false);
  EXPECT_EQ(
      desktop.read<std::string>(desktop.accessibility->applicationElement(editor.pid()), AX::title),
      "Editor");
  EXPECT_TRUE(desktop.accessibility->isProcessTrusted());
}

TEST(X11Accessibility, SubrolesFollowTheWindowType) {
  Desktop desktop;
  struct Row {
    const char* type;
    std::optional<std::string> subrole;
  };
  const std::vector<Row> rows{{"normal", std::string(AX::standardWindow)},
                              {"dialog", std::string(AX::dialog)},
                              {"utility", std::string("AXFloatingWindow")},
                              {"none", std::nullopt}};
  for (const Row& row : rows) {
    TestClient client({"--type", row.type, "--class", "typed,Typed"});
    const auto windows = desktop.windows(started(desktop, client));
    ASSERT_EQ(windows.size(), 1u) << row.type;
    EXPECT_EQ(desktop.read<std::string>(windows[0], AX::subrole), row.subrole) << row.type;
    EXPECT_FALSE(desktop.accessibility->attribute(windows[0], AX::subrole).has_value() &&
                 !row.subrole)
        << row.type;
  }
}

TEST(X11Accessibility, TitlesFallBackToTheLegacyNameAndSurviveBadBytes) {
  Desktop desktop;
  TestClient legacy({"--title", "Caf\xe9", "--legacy-title", "--class", "legacy,Legacy"});
  TestClient broken({"--invalid-utf8-title", "--class", "broken,Broken"});
  const auto legacyWindows = desktop.windows(started(desktop, legacy));
  const auto brokenWindows = desktop.windows(started(desktop, broken));
  ASSERT_EQ(legacyWindows.size(), 1u);
  ASSERT_EQ(brokenWindows.size(), 1u);
  // WM_NAME is Latin-1.
  EXPECT_EQ(desktop.read<std::string>(legacyWindows[0], AX::title), "Caf\xc3\xa9");
  EXPECT_EQ(desktop.read<std::string>(brokenWindows[0], AX::title),
            "Bad \xEF\xBF\xBD\xEF\xBF\xBD title \xEF\xBF\xBD");
}

TEST(X11Accessibility, FramesIncludeTheWindowManagersFrame) {
  Desktop desktop;
  Probe probe;
  TestClient client({"--pos", "100,120", "--size", "300x200", "--class", "framed,Framed"});
  const auto windows = desktop.windows(started(desktop, client));
  ASSERT_EQ(windows.size(), 1u);
  const auto window = *desktop.accessibility->windowNumber(windows[0]);
  std::vector<std::uint32_t> extents;
  ASSERT_TRUE(waitUntil([&] {
    extents = probe.cardinals(window, "_NET_FRAME_EXTENTS");
    return extents.size() == 4;
  }));
  EXPECT_GT(extents[2], 0u) << "openbox draws a title bar";

  const auto position = desktop.read<Point>(windows[0], AX::position);
  const auto size = desktop.read<Size>(windows[0], AX::size);
  ASSERT_TRUE(position && size);
  // The requested position is the frame's; the client sits inside it.
  EXPECT_EQ(*position, (Point{100, 120}));
  EXPECT_EQ(*size, (Size{300.0 + extents[0] + extents[1], 200.0 + extents[2] + extents[3]}));

  // A resize through the frame size gives the frame that size, and observers hear of it.
  int changes = 0;
  const Subscription watching = desktop.accessibility->observeWindowChanges([&] { ++changes; });
  ASSERT_TRUE(desktop.accessibility->setAttribute(windows[0], AX::size, Size{500, 400}));
  EXPECT_TRUE(waitUntil([&] {
    return desktop.read<Size>(windows[0], AX::size) == std::optional(Size{500, 400});
  }));
  EXPECT_TRUE(waitUntil([&] { return changes > 0; }));
  EXPECT_EQ(desktop.read<Point>(windows[0], AX::position), (Point{100, 120}));

  ASSERT_TRUE(desktop.accessibility->setAttribute(windows[0], AX::position, Point{40, 60}));
  EXPECT_TRUE(waitUntil([&] {
    return desktop.read<Point>(windows[0], AX::position) == std::optional(Point{40, 60});
  }));
}

TEST(X11Accessibility, MinimizesRestoresRaisesAndCloses) {
  Desktop desktop;
  TestClient client({"--title", "Pair", "--class", "pair,Pair", "--windows", "2"});
  const auto windows = desktop.windows(started(desktop, client, 2));
  ASSERT_EQ(windows.size(), 2u);
  const AXElement app = desktop.accessibility->applicationElement(client.pid());

  // The later window was mapped last and got the focus.
  ASSERT_TRUE(waitUntil([&] {
    return desktop.read<bool>(windows[1], AX::main) == true &&
           desktop.read<bool>(windows[1], "AXFocused") == true;
  }));
  EXPECT_EQ(desktop.read<bool>(windows[0], AX::main), false);
  EXPECT_EQ(desktop.read<bool>(windows[0], "AXFocused"), false);

  ASSERT_TRUE(desktop.accessibility->performAction(windows[0], AX::raise));
  ASSERT_TRUE(waitUntil([&] { return desktop.read<bool>(windows[0], AX::main) == true; }));
  EXPECT_EQ(desktop.read<bool>(windows[1], AX::main), false);
  const auto focused = desktop.read<AXElement>(app, AX::focusedWindow);
  ASSERT_TRUE(focused);
  EXPECT_EQ(desktop.accessibility->windowNumber(*focused),
            desktop.accessibility->windowNumber(windows[0]));

  ASSERT_TRUE(desktop.accessibility->setAttribute(windows[0], AX::minimized, true));
  ASSERT_TRUE(waitUntil([&] { return desktop.read<bool>(windows[0], AX::minimized) == true; }));
  ASSERT_TRUE(desktop.accessibility->setAttribute(windows[0], AX::minimized, false));
  ASSERT_TRUE(waitUntil([&] { return desktop.read<bool>(windows[0], AX::minimized) == false; }));

  // The close button asks the client to close that window only.
  const auto button = desktop.read<AXElement>(windows[1], AX::closeButton);
  ASSERT_TRUE(button);
  ASSERT_TRUE(desktop.accessibility->performAction(*button, AX::press));
  ASSERT_TRUE(waitUntil([&] { return desktop.windows(client.pid()).size() == 1; }));
  EXPECT_TRUE(client.runs());
  EXPECT_FALSE(desktop.accessibility->performAction(*button, AX::press));
}

TEST(X11Accessibility, AWindowThatMinimizesItselfReadsMinimizedAndItsApplicationHidden) {
  Desktop desktop;
  TestClient client({"--minimize", "--class", "shy,Shy"});
  const auto windows = desktop.windows(started(desktop, client));
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_TRUE(waitUntil([&] { return desktop.read<bool>(windows[0], AX::minimized) == true; }));
  EXPECT_TRUE(waitUntil([&] {
    const auto app = desktop.application("Shy");
    return app && app->isHidden;
  }));
}

TEST(X11Accessibility, WindowsThatVanishAnswerNothingWhileOthersStillRead) {
  Desktop desktop;
  Probe probe;
  TestClient client({"--title", "Going", "--class", "going,Going", "--windows", "3"});
  const auto windows = desktop.windows(started(desktop, client, 3));
  ASSERT_EQ(windows.size(), 3u);
  const std::vector<std::string_view> names{AX::subrole, AX::title,    AX::minimized,
                                            AX::main,    AX::position, AX::size};
  const auto before = desktop.accessibility->attributes(windows, names);

  // Gone between the listing and the reads.
  xcb_destroy_window(probe.connection(), *desktop.accessibility->windowNumber(windows[1]));
  probe.sync();
  const auto after = desktop.accessibility->attributes(windows, names);
  ASSERT_EQ(after.size(), 3u);
  for (std::size_t n = 0; n < names.size(); ++n) {
    EXPECT_FALSE(after[1][n].has_value()) << names[n];
    EXPECT_EQ(after[0][n].has_value(), before[0][n].has_value()) << names[n];
    EXPECT_TRUE(after[2][n].has_value()) << names[n];
  }
  EXPECT_EQ(after[2][1], std::optional<AXValue>(std::string("Going 3")));
  // One batch answers exactly what single reads answer.
  for (std::size_t n = 0; n < names.size(); ++n) {
    if (names[n] == AX::main) {
      continue;  // depends on focus, which may move meanwhile
    }
    EXPECT_EQ(after[0][n], desktop.accessibility->attribute(windows[0], names[n])) << names[n];
  }
  EXPECT_FALSE(desktop.accessibility->setAttribute(windows[1], AX::size, Size{200, 200}));
  EXPECT_FALSE(desktop.accessibility->performAction(windows[1], AX::raise));
  EXPECT_FALSE(desktop.accessibility->attribute(windows[1], AX::closeButton));
}

}  // namespace
}  // namespace quayline::x11test
