#include "stacks/TrashService.h"

#include <gtest/gtest.h>

#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeTrash.h"
#include "fakes/ManualSerialQueue.h"

namespace quayline {
namespace {

class TrashServiceTest : public ::testing::Test {
 protected:
  // Runs what is queued and what it posts back, until nothing is left.
  void settle() {
    do {
      queue.runAll();
      scheduler.runPosted();
    } while (!queue.tasks.empty());
  }

  FakeTrash trash;
  RecordingUiSounds sounds;
  FakePreferenceDomains domains;
  FakeScheduler scheduler;
  ManualSerialQueue queue{std::string(TrashService::queueLabel)};
};

TEST_F(TrashServiceTest, FullnessByWhatTheListingShows) {
  struct Row {
    std::vector<std::string> items;
    bool listable;
    std::optional<std::int64_t> fileManagerCount;
    bool full;
  };
  const std::vector<Row> rows{
      {{}, true, std::nullopt, false},
      {{".DS_Store"}, true, std::nullopt, false},
      {{".DS_Store", "report.pdf"}, true, std::nullopt, true},
      {{"report.pdf"}, true, std::nullopt, true},
      // An empty listing is an answer: the file manager is not asked.
      {{}, true, 4, false},
      // No listing: only the file manager's count, none counting as zero.
      {{"report.pdf"}, false, std::nullopt, false},
      {{}, false, 2, true},
  };
  for (const Row& row : rows) {
    trash.items = row.items;
    trash.listable = row.listable;
    trash.fileManagerCount = row.fileManagerCount;
    EXPECT_EQ(TrashService::holdsItems(trash), row.full)
        << ::testing::PrintToString(row.items) << " listable " << row.listable;
  }
}

TEST_F(TrashServiceTest, RefreshesAtOnceThenEveryFiveSecondsPublishingOnlyChanges) {
  trash.items = {".DS_Store", "a.txt"};
  TrashService service(trash, sounds, domains, scheduler, queue);
  int changes = 0;
  const Subscription observed = service.observeTrash([&] { ++changes; });
  EXPECT_FALSE(service.isFull());
  settle();
  EXPECT_TRUE(service.isFull());
  EXPECT_EQ(trash.listings, 1);

  scheduler.advance(TrashService::refreshInterval);
  settle();
  EXPECT_EQ(trash.listings, 2);
  EXPECT_EQ(changes, 1) << "an unchanged count publishes nothing";

  trash.items = {".DS_Store"};
  scheduler.advance(TrashService::refreshInterval);
  settle();
  EXPECT_FALSE(service.isFull());
  EXPECT_EQ(changes, 2);
}

TEST_F(TrashServiceTest, RequestsWhileACountRunsStartOneMoreCountAfterIt) {
  TrashService service(trash, sounds, domains, scheduler, queue);
  scheduler.runPosted();
  ASSERT_EQ(queue.tasks.size(), 1u);
  // Something is trashed while the first count is under way and has already looked.
  queue.runOne();
  trash.items = {"dropped.txt"};
  service.refresh();
  service.refresh();
  service.refresh();
  EXPECT_TRUE(queue.tasks.empty()) << "no second count while one runs";
  scheduler.runPosted();
  EXPECT_FALSE(service.isFull());
  ASSERT_EQ(queue.tasks.size(), 1u) << "the requests made meanwhile start exactly one count";
  settle();
  EXPECT_TRUE(service.isFull());
  EXPECT_EQ(trash.listings, 2);
}

TEST_F(TrashServiceTest, EmptyingRunsOnTheQueueAndRefreshesAfterwards) {
  trash.items = {"a.txt"};
  TrashService service(trash, sounds, domains, scheduler, queue);
  settle();
  ASSERT_TRUE(service.isFull());
  service.emptyTrash();
  EXPECT_EQ(trash.emptied, 0);
  settle();
  EXPECT_EQ(trash.emptied, 1);
  EXPECT_FALSE(service.isFull());
}

TEST_F(TrashServiceTest, ResultsArrivingAfterTheServiceIsGoneAreDropped) {
  {
    TrashService service(trash, sounds, domains, scheduler, queue);
    scheduler.runPosted();
  }
  settle();
  scheduler.advance(3 * TrashService::refreshInterval);
  EXPECT_EQ(trash.listings, 1);
}

TEST_F(TrashServiceTest, DropSoundFollowsTheUiSoundsSetting) {
  TrashService service(trash, sounds, domains, scheduler, queue);
  service.playDropSound();
  domains.seed(PreferenceDomains::anyApplication, "com.apple.sound.uiaudio.enabled",
               PropertyValue(std::string("no")));
  service.playDropSound();  // not a boolean: plays
  domains.seed(PreferenceDomains::anyApplication, "com.apple.sound.uiaudio.enabled",
               PropertyValue(false));
  service.playDropSound();
  EXPECT_EQ(sounds.played, (std::vector<UiSound>{UiSound::dropOnTrash, UiSound::dropOnTrash}));
}

}  // namespace
}  // namespace quayline
