// The real dock moving and signalling on a test display: magnification and auto-hide driven by
// synthetic pointer motion, badges from the session bus, and the bounce of a launch it starts.
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>

#include "support/Desktop.h"
#include "support/Processes.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kScreenWidth = XServer::kWidth;
constexpr int kScreenHeight = XServer::kHeight;

// The whole screen as the user sees it, read from the root window.
QImage captureScreen(RunningDock& dock) {
  xcb_connection_t* c = dock.connection();
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
      xcb_get_image_reply(c,
                          xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0,
                                        kScreenWidth, kScreenHeight, ~0u),
                          nullptr),
      &std::free);
  if (!reply || reply->depth != 24 ||
      xcb_get_image_data_length(reply.get()) != kScreenWidth * kScreenHeight * 4) {
    return {};
  }
  return QImage(xcb_get_image_data(reply.get()), kScreenWidth, kScreenHeight, kScreenWidth * 4,
                QImage::Format_RGB32)
      .copy();
}

int channelDistance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}

// How far an icon reaches through (x, y) along one axis: the run of pixels that are neither the
// glass nor the desktop around the point. An icon's fill, outline and glyph all count; the glass
// between tiles and the desktop above the panel end the run.
struct Extent {
  int first = 0;
  int last = -1;
  int length() const { return last - first + 1; }
  int middle() const { return (first + last) / 2; }
};

Extent iconExtent(const QImage& image, int x, int y, bool vertical, QRgb glass, QRgb desktop) {
  constexpr int kTolerance = 3;
  const auto isIcon = [&](int along) {
    const int px = vertical ? x : along;
    const int py = vertical ? along : y;
    if (px < 0 || py < 0 || px >= image.width() || py >= image.height()) {
      return false;
    }
    const QRgb pixel = image.pixel(px, py);
    return channelDistance(pixel, glass) > kTolerance &&
           channelDistance(pixel, desktop) > kTolerance;
  };
  const int start = vertical ? y : x;
  Extent extent{start, start - 1};
  if (!isIcon(start)) {
    return extent;
  }
  extent.last = start;
  while (isIcon(extent.first - 1)) {
    --extent.first;
  }
  while (isIcon(extent.last + 1)) {
    ++extent.last;
  }
  return extent;
}

// The longest icon run down column x between two rows: finds the icon in that column without
// assuming where the row draws it.
Extent tallestIconRun(const QImage& image, int x, int top, int bottom, QRgb glass, QRgb desktop) {
  Extent best;
  for (int y = top; y <= bottom; ++y) {
    const Extent run = iconExtent(image, x, y, true, glass, desktop);
    if (run.length() > best.length()) {
      best = run;
    }
    y = std::max(y, run.last);
  }
  return best;
}

// The dock at rest once its icon at `x` is painted (the panel maps before its first paint): the
// screen, the glass and desktop colours, and the icon's tallest column.
struct RestingIcon {
  QImage screen;
  QRgb glass = 0;
  QRgb desktop = 0;
  Extent column;
};

RestingIcon waitForRestingIcon(RunningDock& dock, const WindowFrame& resting, int x, int y,
                               int minimum) {
  RestingIcon rest;
  waitUntil([&] {
    rest.screen = captureScreen(dock);
    if (rest.screen.isNull()) {
      return false;
    }
    rest.glass = rest.screen.pixel(resting.x + 4, y);
    rest.desktop = rest.screen.pixel(resting.x + 4, resting.y - 10);
    rest.column =
        tallestIconRun(rest.screen, x, resting.y, resting.bottom() - 1, rest.glass, rest.desktop);
    return rest.column.length() > minimum;
  });
  return rest;
}

bool isBadgeRed(QRgb pixel) {
  return qRed(pixel) > 200 && qGreen(pixel) < 110 && qBlue(pixel) < 110;
}

int redPixels(const QImage& image, const QRect& area) {
  int count = 0;
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      count += isBadgeRed(image.pixel(x, y)) ? 1 : 0;
    }
  }
  return count;
}

// Pointer motion through XTest, relative like a real device's, so the server reports raw motion.
void nudgePointer(RunningDock& dock, int dx, int dy) {
  xcb_test_fake_input(dock.connection(), XCB_MOTION_NOTIFY, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE,
                      static_cast<std::int16_t>(dx), static_cast<std::int16_t>(dy), 0);
  dock.sync();
}

// Puts the pointer somewhere without any motion event reaching a raw-motion listener.
void warpPointer(int x, int y) {
  Probe probe;  // synchronised when it goes
  xcb_warp_pointer(probe.connection(), XCB_WINDOW_NONE, probe.root(), 0, 0, 0, 0,
                   static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
}

bool haveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Whether a name is owned on the bus.
bool hasOwner(const SessionBus& bus, const std::string& name) {
  return bus.gdbus(
                "call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus "
                "--method org.freedesktop.DBus.NameHasOwner " +
                name)
             .find("true") != std::string::npos;
}

// What an application built on libunity sends for its launcher entry.
void sendLauncherEntry(const SessionBus& bus, const std::string& desktopFile,
                       const std::string& properties) {
  bus.gdbus(
      "emit --session --object-path /com/canonical/unity/launcherentry/1 --signal "
      "com.canonical.Unity.LauncherEntry.Update \"'application://" +
      desktopFile + "'\" \"" + properties + "\"");
}

// A dock that is the only program reading the bus address from the environment.
std::unique_ptr<RunningDock> startDockOnBus(const SessionBus& bus,
                                            const RunningDock::Setup& setup) {
  ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
  auto dock = std::make_unique<RunningDock>(setup);
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  return dock;
}

fs::path testFolder() {
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  const fs::path folder = X11Environment::instance().root() / "screens" / info->name();
  fs::create_directories(folder);
  return folder;
}

TEST(DockMotion, MagnificationGrowsThePanelAndTheTileUnderThePointer) {
  const int t = 64;
  const InstalledEntry alpha("org.quayline.Alpha.desktop",
                             clientEntry("Alpha", "--class alpha,Alpha", "Alpha"));
  const InstalledEntry beta("org.quayline.Beta.desktop",
                            clientEntry("Beta", "--class beta,Beta", "Beta"));
  const InstalledEntry gamma("org.quayline.Gamma.desktop",
                             clientEntry("Gamma", "--class gamma,Gamma", "Gamma"));
  TestClient alphaClient({"--title", "Alpha", "--class", "alpha,Alpha"});
  TestClient betaClient({"--title", "Beta", "--class", "beta,Beta"});
  TestClient gammaClient({"--title", "Gamma", "--class", "gamma,Gamma"});
  warpPointer(kScreenWidth / 2, kScreenHeight / 3);
  RunningDock dock({.pinned = std::vector<PinnedItem>{},
                    .trailing = std::vector<PinnedItem>{},
                    .tileSize = t,
                    .settings = {{"magnificationEnabled", PropertyValue(true)}}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  // Every client has its tile before the row is measured: a late one would shift the others.
  ASSERT_TRUE(waitUntil([&] {
    return dock.tile("running:org.quayline.Alpha") && dock.tile("running:org.quayline.Beta") &&
           dock.tile("running:org.quayline.Gamma");
  })) << dock.logText();
  const auto centre = dock.tileCentre("running:org.quayline.Beta");
  ASSERT_TRUE(centre) << dock.logText();
  const auto resting = dock.dockFrame();
  ASSERT_EQ(resting.height, t + 19) << resting;
  ASSERT_EQ(resting.bottom(), kScreenHeight) << resting;

  const fs::path folder = testFolder();
  // The glass beside the row, and the desktop above the panel.
  const RestingIcon rest = waitForRestingIcon(dock, resting, centre->first, centre->second, t / 2);
  const QImage& atRest = rest.screen;
  const QRgb glass = rest.glass;
  const QRgb desktop = rest.desktop;
  const Extent restColumn = rest.column;
  ASSERT_FALSE(atRest.isNull());
  ASSERT_TRUE(atRest.save(QString::fromStdString((folder / "at-rest.png").string())));
  std::printf("at rest: %s\n", (folder / "at-rest.png").c_str());
  ASSERT_GT(channelDistance(glass, desktop), 3) << "glass and desktop look alike";
  const Extent restRow =
      iconExtent(atRest, centre->first, restColumn.middle(), false, glass, desktop);
  ASSERT_GT(restColumn.length(), t / 2) << "no icon found at rest";
  EXPECT_LE(restColumn.length(), t);
  EXPECT_NEAR(restRow.length(), restColumn.length(), 3);

  dock.movePointer(centre->first, centre->second);
  const int m = static_cast<int>(std::ceil(t + 2 + t * 2.5 * 0.5));
  const WindowFrame magnifiedFrame{
      resting.x - m, kScreenHeight - (2 * t + 19), resting.width + 2 * m, 2 * t + 19, true, true};
  EXPECT_TRUE(waitUntil([&] { return dock.dockFrame() == magnifiedFrame; }, milliseconds(3000)))
      << "expected " << magnifiedFrame << ", got " << dock.dockFrame();

  // Captured once the growth has run its course: the icon has not changed for several display
  // refreshes.
  QImage magnified;
  Extent column;
  Extent previous;
  auto changedAt = Clock::now();
  const int top = kScreenHeight - (2 * t + 19);
  EXPECT_TRUE(waitUntil(
      [&] {
        magnified = captureScreen(dock);
        column = tallestIconRun(magnified, centre->first, top, kScreenHeight - 1, glass, desktop);
        if (column.first != previous.first || column.last != previous.last) {
          previous = column;
          changedAt = Clock::now();
        }
        return Clock::now() - changedAt >= milliseconds(150) &&
               column.length() > restColumn.length();
      },
      milliseconds(3000)));
  ASSERT_TRUE(magnified.save(QString::fromStdString((folder / "magnified.png").string())));
  std::printf("magnified: %s\n", (folder / "magnified.png").c_str());
  const Extent row = iconExtent(magnified, centre->first, column.middle(), false, glass, desktop);
  std::printf("icon %dx%d at rest, %dx%d magnified\n", restRow.length(), restColumn.length(),
              row.length(), column.length());
  const double grownTall = static_cast<double>(column.length()) / restColumn.length();
  const double grownWide = static_cast<double>(row.length()) / restRow.length();
  EXPECT_NEAR(grownTall, 2.0, 0.15)
      << column.length() << " px tall, " << restColumn.length() << " at rest";
  EXPECT_NEAR(grownWide, 2.0, 0.15)
      << row.length() << " px wide, " << restRow.length() << " at rest";
  // The grown icon rises above the resting panel, into the magnified frame's headroom.
  EXPECT_LT(column.first, resting.y);

  // Away from the dock the effect eases out and the panel takes its resting frame again.
  dock.movePointer(kScreenWidth / 2, kScreenHeight / 3);
  EXPECT_TRUE(waitUntil([&] { return dock.dockFrame() == resting; }, milliseconds(3000)))
      << "expected " << resting << ", got " << dock.dockFrame();
  EXPECT_TRUE(dock.runs());
}

TEST(DockMotion, AutoHiddenDockComesBackAtTheBottomStripAndHidesAfterTheDelay) {
  warpPointer(kScreenWidth / 2, kScreenHeight / 2);
  RunningDock dock({.pinned = std::vector<PinnedItem>{},
                    .trailing = std::vector<PinnedItem>{},
                    .tileSize = 48,
                    .settings = {{"autohide", PropertyValue(true)},
                                 {"magnificationEnabled", PropertyValue(false)}}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const auto isHidden = [&] {
    const WindowFrame frame = dock.dockFrame();
    return frame.viewable && frame.y == kScreenHeight - 1;
  };
  ASSERT_TRUE(waitUntil(isHidden, milliseconds(5000))) << dock.dockFrame();
  const int height = dock.dockFrame().height;
  EXPECT_EQ(height, 48 + 19);
  const auto isShown = [&] { return dock.dockFrame().y == kScreenHeight - height; };

  // Far to the left of the panel, just above the strip: nothing happens.
  dock.movePointer(40, kScreenHeight - 12);
  EXPECT_FALSE(waitUntil([&] { return !isHidden(); }, milliseconds(400))) << dock.dockFrame();

  // Into the bottom 4 pixels, still beside the panel: the strip reveals, whatever the x.
  dock.movePointer(40, kScreenHeight - 3);
  const auto revealStart = Clock::now();
  EXPECT_TRUE(waitUntil(isShown, milliseconds(2000))) << dock.dockFrame();
  std::printf("shown after %lld ms\n",
              static_cast<long long>(
                  std::chrono::duration_cast<milliseconds>(Clock::now() - revealStart).count()));
  // Resting in the strip holds it.
  EXPECT_FALSE(waitUntil([&] { return !isShown(); }, milliseconds(600))) << dock.dockFrame();

  // Away: it stays for the delay, then slides down to its 1-pixel line.
  dock.movePointer(kScreenWidth / 2, kScreenHeight / 2);
  const auto leftAt = Clock::now();
  ASSERT_TRUE(waitUntil([&] { return !isShown(); }, milliseconds(3000))) << dock.dockFrame();
  const auto stayed = std::chrono::duration_cast<milliseconds>(Clock::now() - leftAt);
  EXPECT_GE(stayed.count(), 350);
  std::printf("started hiding after %lld ms\n", static_cast<long long>(stayed.count()));
  EXPECT_TRUE(waitUntil(isHidden, milliseconds(2000))) << dock.dockFrame();

  // Relative motion, as from a mouse, works the same way.
  warpPointer(kScreenWidth / 2, kScreenHeight - 20);
  nudgePointer(dock, 0, 18);
  EXPECT_TRUE(waitUntil(isShown, milliseconds(2000))) << dock.dockFrame();
  EXPECT_TRUE(dock.runs());
}

TEST(DockMotion, LauncherEntryCountShowsARedBadgeOnTheApplicationsTile) {
  if (!haveProgram("dbus-daemon") || !haveProgram("gdbus")) {
    GTEST_SKIP() << "needs dbus-daemon and gdbus";
  }
  const SessionBus bus;
  ASSERT_TRUE(bus.started());
  const std::string desktopFile = "org.quayline.Badged.desktop";
  const InstalledEntry entry(desktopFile, clientEntry("Badged", "--class badged,Badged", "Badged"));
  const InstalledEntry other("org.quayline.Plain.desktop",
                             clientEntry("Plain", "--class plain,Plain", "Plain"));
  TestClient badged({"--title", "Badged", "--class", "badged,Badged"});
  TestClient plain({"--title", "Plain", "--class", "plain,Plain"});
  const int t = 64;
  auto dock = startDockOnBus(
      bus,
      {.pinned = std::vector<PinnedItem>{}, .trailing = std::vector<PinnedItem>{}, .tileSize = t});
  ASSERT_TRUE(dock->started()) << dock->logText();
  ASSERT_TRUE(waitUntil([&] { return hasOwner(bus, "com.canonical.Unity"); }))
      << "the dock does not own com.canonical.Unity\n"
      << dock->logText();
  ASSERT_TRUE(waitUntil([&] {
    return dock->tile("running:org.quayline.Badged") && dock->tile("running:org.quayline.Plain");
  })) << dock->logText();
  const auto centre = dock->tileCentre("running:org.quayline.Badged");
  const auto plainCentre = dock->tileCentre("running:org.quayline.Plain");
  ASSERT_TRUE(centre && plainCentre) << dock->logText();

  // The quadrant above and right of the tile's centre, reaching past the icon's corner.
  const auto badgeArea = [&](std::pair<int, int> at) {
    return QRect(at.first, at.second - t, t, t);
  };
  const auto red = [&](std::pair<int, int> at) {
    return redPixels(captureScreen(*dock), badgeArea(at));
  };
  ASSERT_EQ(red(*centre), 0);

  sendLauncherEntry(bus, desktopFile, "{'count': <int64 3>, 'count-visible': <true>}");
  const auto sent = Clock::now();
  // One poll of the badges runs every 2 s; allow for the repaint and the capture on top.
  EXPECT_TRUE(waitUntil([&] { return red(*centre) > 40; }, milliseconds(2500)))
      << "red pixels: " << red(*centre) << "\n"
      << dock->logText();
  std::printf("badge after %lld ms\n",
              static_cast<long long>(
                  std::chrono::duration_cast<milliseconds>(Clock::now() - sent).count()));
  const QImage shown = captureScreen(*dock);
  const fs::path path = testFolder() / "badge.png";
  shown.save(QString::fromStdString(path.string()));
  std::printf("badge: %s\n", path.c_str());
  // On its own tile only, and at the top right: nothing red left of the centre or on the
  // neighbour.
  EXPECT_EQ(redPixels(shown, QRect(centre->first - t, centre->second - t, t - 2, t)), 0);
  EXPECT_EQ(redPixels(shown, badgeArea(*plainCentre)), 0);

  // A later update carries only what changed; hiding the count removes the badge.
  sendLauncherEntry(bus, desktopFile, "{'count-visible': <false>}");
  EXPECT_TRUE(waitUntil([&] { return red(*centre) == 0; }, milliseconds(2500)))
      << "red pixels: " << red(*centre);
  // Showing it again brings the merged count back.
  sendLauncherEntry(bus, desktopFile, "{'count-visible': <true>}");
  EXPECT_TRUE(waitUntil([&] { return red(*centre) > 40; }, milliseconds(2500)));
  EXPECT_TRUE(dock->runs());
}

// The launch lines of the log: begin, and end with the milliseconds the bounce lasted.
struct LaunchLog {
  bool began = false;
  std::optional<int> endedAfter;
};

LaunchLog launchLog(const std::string& log, const std::string& id) {
  LaunchLog result;
  result.began = log.find("launch begin " + id + "\n") != std::string::npos;
  const std::regex end("launch end " + std::regex_replace(id, std::regex(R"(\.)"), R"(\.)") +
                       R"( after (\d+) ms)");
  std::smatch match;
  if (std::regex_search(log, match, end)) {
    result.endedAfter = std::stoi(match[1].str());
  }
  return result;
}

TEST(DockMotion, ALaunchFromTheDockBouncesUntilItsWindowAppears) {
  const InstalledEntry slowEntry(
      "org.quayline.Slow.desktop",
      clientEntry("Slow", "--title Slow --class slow,Slow --delay-ms 1500", "Slow"));
  const InstalledEntry quickEntry(
      "org.quayline.Quick.desktop",
      clientEntry("Quick", "--title Quick --class quick,Quick", "Quick"));
  RunningDock dock(
      {.pinned =
           std::vector<PinnedItem>{PinnedApp{"org.quayline.Slow", slowEntry.path().string()},
                                   PinnedApp{"org.quayline.Quick", quickEntry.path().string()}},
       .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const auto windowOf = [&](const std::string& title) {
    const auto found = dock.clientWindows(title);
    return found.empty() ? xcb_window_t{XCB_WINDOW_NONE} : found.front();
  };

  // A slow application: the bounce begins before its window exists and ends only after it.
  ASSERT_TRUE(dock.click(std::string_view("pinned:app:org.quayline.Slow"))) << dock.logText();
  ASSERT_TRUE(waitUntil([&] { return launchLog(dock.logText(), "org.quayline.Slow").began; }))
      << dock.logText();
  EXPECT_EQ(windowOf("Slow"), XCB_WINDOW_NONE);
  ASSERT_TRUE(waitUntil([&] {
    return launchLog(dock.logText(), "org.quayline.Slow").endedAfter.has_value();
  })) << dock.logText();
  const xcb_window_t slowWindow = windowOf("Slow");
  EXPECT_NE(slowWindow, XCB_WINDOW_NONE) << "the launch ended before the window appeared";
  const Launched slow{dock.windowPid(slowWindow)};
  const int slowBounce = *launchLog(dock.logText(), "org.quayline.Slow").endedAfter;
  EXPECT_GE(slowBounce, 1500);
  std::printf("slow launch bounced %d ms\n", slowBounce);

  // A quick one still bounces for the minimum.
  ASSERT_TRUE(dock.click(std::string_view("pinned:app:org.quayline.Quick"))) << dock.logText();
  ASSERT_TRUE(waitUntil([&] {
    return launchLog(dock.logText(), "org.quayline.Quick").endedAfter.has_value();
  })) << dock.logText();
  const Launched quick{dock.windowPid(windowOf("Quick"))};
  const int quickBounce = *launchLog(dock.logText(), "org.quayline.Quick").endedAfter;
  EXPECT_GE(quickBounce, 650);
  std::printf("quick launch bounced %d ms\n", quickBounce);
  // Begin comes before end in the log.
  const std::string log = dock.logText();
  EXPECT_LT(log.find("launch begin org.quayline.Quick"), log.find("launch end org.quayline.Quick"));
  EXPECT_TRUE(dock.runs());
}

}  // namespace
}  // namespace quayline::x11test
