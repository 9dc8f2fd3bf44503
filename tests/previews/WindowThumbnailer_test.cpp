#include "previews/WindowThumbnailer.h"

#include <gtest/gtest.h>

#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWindowCapture.h"
#include "fakes/ManualSerialQueue.h"

namespace quayline {
namespace {

constexpr Size kFitting{192, 120};

class WindowThumbnailerTest : public testing::Test {
 protected:
  WindowThumbnailerTest() {
    for (auto& lane : lanes) {
      pointers.push_back(&lane);
    }
    thumbnailer = std::make_unique<WindowThumbnailer>(capture, scheduler, pointers, log);
  }

  // Runs every step of every job: listings, captures and their replies on the main thread.
  void settle() {
    bool ran = true;
    while (ran) {
      ran = false;
      for (auto& lane : lanes) {
        ran = lane.runOne() || ran;
      }
      scheduler.runPosted();
    }
  }

  std::vector<WindowNumber> held() const {
    std::vector<WindowNumber> result;
    for (const auto& [window, thumbnail] : thumbnailer->images()) {
      result.push_back(window);
    }
    return result;
  }

  std::size_t queuedCaptures() const {
    std::size_t count = 0;
    for (const auto& lane : lanes) {
      count += lane.tasks.size();
    }
    return count;
  }

  FakeWindowCapture capture;
  FakeScheduler scheduler;
  FakeSystemLog log;
  std::array<ManualSerialQueue, 4> lanes;
  std::vector<SerialQueue*> pointers;
  std::unique_ptr<WindowThumbnailer> thumbnailer;
};

TEST(WindowThumbnailerSizing, KeepsProportionsFitsTheLimitAndNeverExceedsTheScale) {
  struct Row {
    Rect frame;
    Size limit;
    double scale;
    std::optional<PixelSize> expected;
  };
  const Row rows[] = {
      {Rect(0, 0, 1600, 1000), {400, 400}, 2, PixelSize{400, 250}},
      {Rect(0, 0, 100, 50), {1000, 1000}, 2, PixelSize{200, 100}},  // the scale caps the factor
      {Rect(0, 0, 10000, 1), {100, 100}, 1, PixelSize{100, 1}},     // never below one pixel
      {Rect(0, 0, 8000, 8000), {384, 240}, 1, PixelSize{240, 240}},
      {Rect(0, 0, 0, 500), {400, 400}, 1, std::nullopt},
      {Rect(0, 0, 500, 0), {400, 400}, 1, std::nullopt},
      {Rect(0, 0, std::nan(""), 10), {400, 400}, 1, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(WindowThumbnailer::captureSize(row.frame, row.limit, row.scale), row.expected)
        << row.frame.width() << "x" << row.frame.height();
  }
}

TEST_F(WindowThumbnailerTest, ImagesFollowTheLatestRequestAndCarryTheirSizeInPoints) {
  capture.add(1, Rect(0, 0, 1600, 1000), 0xff0000ff);
  capture.add(2, Rect(0, 0, 800, 600), 0xff00ff00);
  capture.add(3, Rect(0, 0, 800, 600), 0xffff0000);
  int published = 0;
  const Subscription watching = thumbnailer->observeImages([&](const auto&) { ++published; });

  thumbnailer->refresh({2, 3}, Size{200, 200}, 2);
  settle();
  ASSERT_EQ(held(), (std::vector<WindowNumber>{2, 3}));
  published = 0;

  // Windows no longer wanted go before any capture runs, in one change.
  thumbnailer->refresh({1, 2}, Size{200, 200}, 2);
  EXPECT_EQ(held(), (std::vector<WindowNumber>{2}));
  EXPECT_EQ(published, 1);
  settle();
  EXPECT_EQ(held(), (std::vector<WindowNumber>{1, 2}));
  const auto first = thumbnailer->image(1);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->image->width, 400);
  EXPECT_EQ(first->image->height, 250);
  EXPECT_EQ(first->size, (Size{200, 125}));
  EXPECT_FALSE(thumbnailer->image(std::nullopt));
  EXPECT_FALSE(thumbnailer->image(3));

  thumbnailer->refresh({}, kFitting, 1);
  EXPECT_TRUE(thumbnailer->images().empty());
}

TEST_F(WindowThumbnailerTest, ANewerRequestCancelsTheOlderOnesResults) {
  capture.add(1, Rect(0, 0, 100, 100), 0xff0000ff);
  capture.add(2, Rect(0, 0, 100, 100), 0xff00ff00);
  thumbnailer->refresh({1, 2}, kFitting, 1);
  lanes[0].runOne();  // the first job's listing
  scheduler.runPosted();
  lanes[0].runOne();  // window 1's capture, its reply not yet handled
  thumbnailer->refresh({2}, kFitting, 1);
  settle();
  EXPECT_EQ(held(), (std::vector<WindowNumber>{2}));
}

TEST_F(WindowThumbnailerTest, AtMostFourCapturesRunAtOnce) {
  for (WindowNumber window = 1; window <= 6; ++window) {
    capture.add(window, Rect(0, 0, 100, 100), 0xff000000 | window);
  }
  thumbnailer->refresh({1, 2, 3, 4, 5, 6}, kFitting, 1);
  lanes[0].runOne();
  scheduler.runPosted();
  EXPECT_EQ(queuedCaptures(), 4u);
  lanes[2].runOne();
  scheduler.runPosted();
  EXPECT_EQ(queuedCaptures(), 4u);  // the freed lane took the fifth window
  settle();
  EXPECT_EQ(held().size(), 6u);
  EXPECT_EQ(capture.captures.size(), 6u);
}

TEST_F(WindowThumbnailerTest, NothingIsCapturedWithoutPermissionOrWhenTheListCannotBeRead) {
  capture.add(1, Rect(0, 0, 100, 100), 0xff0000ff);
  capture.add(2, Rect(0, 0, 100, 100), 0xff00ff00);
  thumbnailer->refresh({1, 2}, kFitting, 1);
  settle();

  capture.permitted = false;
  thumbnailer->refresh({2}, kFitting, 1);
  settle();
  EXPECT_EQ(held(), (std::vector<WindowNumber>{2}));  // what remains stays
  EXPECT_EQ(capture.captures.size(), 2u);

  capture.permitted = true;
  capture.failure = "no window manager";
  thumbnailer->refresh({1, 2}, kFitting, 1);
  settle();
  EXPECT_EQ(held(), (std::vector<WindowNumber>{2}));
  EXPECT_EQ(log.messagesIn("thumbnails"),
            std::vector<std::string>{
                "WindowThumbnailer: shareable content unavailable: no window manager"});
}

// Window numbers are handed out again at once: an image kept under a destroyed window's number
// would show on the next window that gets it.
TEST_F(WindowThumbnailerTest, ADestroyedWindowsImageGoesAndOneStillOnItsWayIsDropped) {
  capture.add(1, Rect(0, 0, 100, 100), 0xff0000ff);
  capture.add(2, Rect(0, 0, 100, 100), 0xff00ff00);
  thumbnailer->refresh({1, 2}, kFitting, 1);
  settle();
  capture.destroy(1);
  EXPECT_EQ(held(), (std::vector<WindowNumber>{2}));

  // The number comes back on a window that cannot be captured.
  capture.add(1, Rect(0, 0, 100, 100), 0xff0000ff);
  thumbnailer->refresh({1, 2}, kFitting, 1);
  lanes[0].runOne();
  scheduler.runPosted();
  lanes[0].runOne();   // window 1 captured ...
  capture.destroy(1);  // ... and gone before its image is stored
  settle();
  EXPECT_EQ(held(), (std::vector<WindowNumber>{2}));
}

}  // namespace
}  // namespace quayline
