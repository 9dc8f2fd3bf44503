#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "fakes/FakeSystemLog.h"
#include "platform/linux/x11/X11WindowCapture.h"
#include "platform/linux/x11/XConnection.h"
#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

constexpr std::uint32_t kRed = 0xd02020;
constexpr std::uint32_t kBlue = 0x2040c0;
constexpr std::uint32_t kGreen = 0x20a040;

std::string hex(std::uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "%06x", colour);
  return text;
}

// The client window of a test client, once the window manager lists it.
xcb_window_t clientWindow(Probe& probe, const TestClient& client) {
  xcb_window_t found = XCB_WINDOW_NONE;
  EXPECT_TRUE(waitUntil([&] {
    for (const xcb_window_t window : probe.clientList()) {
      const auto pid = probe.cardinals(window, "_NET_WM_PID");
      if (!pid.empty() && static_cast<pid_t>(pid[0]) == client.pid()) {
        found = window;
        return true;
      }
    }
    return false;
  })) << "client "
      << client.pid() << " running: " << client.runs();
  return found;
}

// The capture adapter on a connection of its own, and a probe to look at the display.
struct Capturing {
  FakeSystemLog log;
  std::unique_ptr<x11::XConnection> connection = x11::XConnection::open(log);
  std::unique_ptr<X11WindowCapture> capture =
      connection ? std::make_unique<X11WindowCapture>(*connection) : nullptr;
  Probe probe;

  xcb_window_t windowOf(const TestClient& client) { return clientWindow(probe, client); }

  bool viewable(xcb_window_t window) {
    auto* reply = xcb_get_window_attributes_reply(
        probe.connection(), xcb_get_window_attributes(probe.connection(), window), nullptr);
    const bool result = reply != nullptr && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return result;
  }

  // What the screen shows at a root position (a plain read of the root, covered parts and all).
  std::uint32_t screenAt(int x, int y) {
    auto* reply = xcb_get_image_reply(
        probe.connection(),
        xcb_get_image(probe.connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, probe.root(),
                      static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 1, 1, ~0u),
        nullptr);
    std::uint32_t pixel = 0;
    if (reply != nullptr && xcb_get_image_data_length(reply) >= 4) {
      std::memcpy(&pixel, xcb_get_image_data(reply), 4);
    }
    std::free(reply);
    return pixel & 0xffffff;
  }

  // Waits for an image of the window and checks it is exactly `size` and every pixel `colour`.
  void expectImage(xcb_window_t window, PixelSize size, std::uint32_t colour) {
    WindowImageRef image;
    ASSERT_TRUE(waitUntil([&] { return (image = capture->capture(window, size)) != nullptr; }))
        << size.width << "×" << size.height;
    ASSERT_EQ(image->width, size.width);
    ASSERT_EQ(image->height, size.height);
    ASSERT_EQ(image->pixels.size(), static_cast<std::size_t>(size.width) * size.height);
    const std::uint32_t expected = 0xff000000u | colour;
    const auto wrong = std::count_if(image->pixels.begin(), image->pixels.end(),
                                     [&](std::uint32_t pixel) { return pixel != expected; });
    EXPECT_EQ(wrong, 0) << size.width << "×" << size.height << ", first pixel " << std::hex
                        << image->pixels.front() << ", expected " << expected;
  }
};

TEST(X11WindowCapture, ACoveredWindowShowsItsOwnColourAtExactlyTheRequestedSize) {
  // The windows exist and overlap before capturing starts, as when the dock starts on a busy
  // desktop.
  Probe probe;
  TestClient covered({"--colour", hex(kRed), "--pos", "100,100", "--size", "300x200"});
  clientWindow(probe, covered);
  TestClient cover({"--colour", hex(kBlue), "--pos", "60,60", "--size", "500x400"});
  Capturing capturing;
  ASSERT_NE(capturing.capture, nullptr);
  EXPECT_TRUE(capturing.capture->hasPermission());
  const xcb_window_t window = capturing.windowOf(covered);
  const xcb_window_t top = capturing.windowOf(cover);
  ASSERT_TRUE(waitUntil([&] { return capturing.screenAt(250, 200) == kBlue; }))
      << "the cover does not cover: " << std::hex << capturing.screenAt(250, 200);

  // Sizes smaller, odd, tiny and larger than the 300×200 window.
  for (const PixelSize size : {PixelSize{384, 240}, PixelSize{75, 50}, PixelSize{101, 37},
                               PixelSize{1, 1}, PixelSize{600, 400}}) {
    capturing.expectImage(window, size, kRed);
  }
  capturing.expectImage(top, PixelSize{100, 80}, kBlue);
  EXPECT_EQ(capturing.capture->capture(window, PixelSize{0, 10}), nullptr);

  // Four lanes at once, as the thumbnailer runs them, at sizes the cache does not hold.
  std::atomic<int> wrong{0};
  std::vector<std::thread> lanes;
  for (int lane = 0; lane < 4; ++lane) {
    lanes.emplace_back([&, lane] {
      for (int i = 0; i < 10; ++i) {
        const PixelSize size{50 + lane, 30 + i};
        const auto image = capturing.capture->capture(lane % 2 ? top : window, size);
        const std::uint32_t expected = 0xff000000u | (lane % 2 ? kBlue : kRed);
        if (!image || image->width != size.width || image->height != size.height ||
            std::any_of(image->pixels.begin(), image->pixels.end(),
                        [&](std::uint32_t pixel) { return pixel != expected; })) {
          ++wrong;
        }
      }
    });
  }
  for (std::thread& lane : lanes) {
    lane.join();
  }
  EXPECT_EQ(wrong, 0);

  // Every client in the window manager's order with the area a capture shows (inside the
  // manager's frame), our own windows left out.
  const xcb_window_t own = xcb_generate_id(probe.connection());
  xcb_create_window(probe.connection(), XCB_COPY_FROM_PARENT, own, probe.root(), 0, 0, 50, 50, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  const auto pid = static_cast<std::uint32_t>(::getpid());
  xcb_change_property(probe.connection(), XCB_PROP_MODE_REPLACE, own, probe.atom("_NET_WM_PID"),
                      XCB_ATOM_CARDINAL, 32, 1, &pid);
  xcb_map_window(probe.connection(), own);
  probe.sync();
  ASSERT_TRUE(waitUntil([&] { return probe.clientList().size() == 3; }));
  const auto content = capturing.capture->shareableWindows();
  ASSERT_TRUE(std::holds_alternative<std::vector<ShareableWindow>>(content));
  const auto& windows = std::get<std::vector<ShareableWindow>>(content);
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[0].number, window);
  EXPECT_EQ(windows[1].number, top);
  const auto extents = probe.cardinals(window, "_NET_FRAME_EXTENTS");
  ASSERT_EQ(extents.size(), 4u);
  EXPECT_EQ(windows[0].frame, Rect(100.0 + extents[0], 100.0 + extents[2], 300, 200));
}

TEST(X11WindowCapture, AMinimizedWindowKeepsItsLastImageAndANeverShownOneHasNone) {
  Capturing capturing;
  TestClient shown({"--colour", hex(kGreen), "--size", "700x500"});
  TestClient hidden({"--colour", hex(kRed), "--iconic"});
  const xcb_window_t window = capturing.windowOf(shown);
  const xcb_window_t never = capturing.windowOf(hidden);
  capturing.expectImage(window, PixelSize{140, 100}, kGreen);

  capturing.probe.sendToRoot(window, "WM_CHANGE_STATE", {3, 0, 0, 0, 0});  // IconicState
  ASSERT_TRUE(waitUntil([&] { return !capturing.viewable(window); }));
  // Right after the unmap and once the copy has been made, at sizes not asked for before.
  capturing.expectImage(window, PixelSize{210, 150}, kGreen);
  waitUntil([] { return false; }, std::chrono::milliseconds(400));
  capturing.expectImage(window, PixelSize{384, 240}, kGreen);
  capturing.expectImage(window, PixelSize{7, 5}, kGreen);

  EXPECT_FALSE(capturing.viewable(never));
  EXPECT_EQ(capturing.capture->capture(never, PixelSize{100, 60}), nullptr);
}

TEST(X11WindowCapture, AReusedWindowNumberNeverShowsTheClosedWindowsImage) {
  Capturing capturing;
  std::vector<WindowNumber> destroyed;
  bool offMainThread = false;
  const auto mainThread = std::this_thread::get_id();
  const Subscription observing = capturing.capture->observeDestruction([&](WindowNumber window) {
    destroyed.push_back(window);
    offMainThread = offMainThread || std::this_thread::get_id() != mainThread;
  });
  const PixelSize size{160, 100};

  auto closed = std::make_unique<TestClient>(std::vector<std::string>{"--colour", hex(kRed)});
  const xcb_window_t number = capturing.windowOf(*closed);
  capturing.expectImage(number, size, kRed);
  // Minimized, so a copy is kept as well as the cached capture.
  capturing.probe.sendToRoot(number, "WM_CHANGE_STATE", {3, 0, 0, 0, 0});
  ASSERT_TRUE(waitUntil([&] { return !capturing.viewable(number); }));
  capturing.expectImage(number, PixelSize{80, 50}, kRed);
  closed.reset();
  ASSERT_TRUE(waitUntil(
      [&] { return std::find(destroyed.begin(), destroyed.end(), number) != destroyed.end(); }));
  EXPECT_FALSE(offMainThread);

  // The server hands a new client's first window the number of the closed one; a new window that
  // cannot be read yet has no image rather than the old one.
  std::unique_ptr<TestClient> reused;
  for (int attempt = 0; attempt < 5 && !reused; ++attempt) {
    auto client =
        std::make_unique<TestClient>(std::vector<std::string>{"--colour", hex(kBlue), "--iconic"});
    if (capturing.windowOf(*client) == number) {
      reused = std::move(client);
    }
  }
  ASSERT_NE(reused, nullptr) << "no new window got number " << number;
  ASSERT_TRUE(waitUntil([&] {
    const auto content = capturing.capture->shareableWindows();
    const auto* windows = std::get_if<std::vector<ShareableWindow>>(&content);
    return windows && std::any_of(windows->begin(), windows->end(),
                                  [&](const ShareableWindow& w) { return w.number == number; });
  }));
  for (const PixelSize asked : {size, PixelSize{80, 50}}) {
    EXPECT_EQ(capturing.capture->capture(number, asked), nullptr);
  }

  capturing.probe.sendToRoot(number, "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0, 0, 0});
  ASSERT_TRUE(waitUntil([&] { return capturing.viewable(number); }));
  capturing.expectImage(number, size, kBlue);
}

}  // namespace
}  // namespace quayline::x11test
