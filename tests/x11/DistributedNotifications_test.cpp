#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/FileDistributedNotifications.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

namespace fs = std::filesystem;

void replaceFile(const fs::path& file, const std::string& text) {
  // As the preference store writes: a new file renamed over the old one.
  const fs::path temporary = file.string() + ".new";
  std::ofstream(temporary) << text;
  fs::rename(temporary, file);
}

TEST(FileDistributedNotifications, PostsInProcessAndAnnouncesDomainChanges) {
  const fs::path directory = X11Environment::instance().root() / "notifications";
  fs::remove_all(directory);
  FileDistributedNotifications notifications(directory);  // creates the missing directory
  int dock = 0;
  int own = 0;
  int other = 0;
  const Subscription ownChanges =
      notifications.observe("com.orrin.quayline.prefchanged", [&] { ++own; });
  const Subscription dockChanges =
      notifications.observe("com.apple.dock.prefchanged", [&] { ++dock; });
  Subscription otherPosts = notifications.observe("quayline.something", [&] { ++other; });

  notifications.post("quayline.something");
  EXPECT_EQ(other, 0);  // delivered from the event loop, not from inside post
  EXPECT_TRUE(waitUntil([&] { return other == 1; }));
  otherPosts.reset();
  notifications.post("quayline.something");
  waitUntil([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_EQ(other, 1);

  replaceFile(directory / "com.apple.dock.plist", "first");
  EXPECT_TRUE(waitUntil([&] { return dock == 1; }));
  replaceFile(directory / "com.apple.dock.plist", "second");
  EXPECT_TRUE(waitUntil([&] { return dock == 2; }));
  // Quayline's own domain has its own notification; other domains and unchanged rewrites say
  // nothing.
  replaceFile(directory / "com.orrin.quayline.plist", "x");
  EXPECT_TRUE(waitUntil([&] { return own == 1; }));
  replaceFile(directory / "com.example.other.plist", "y");
  replaceFile(directory / "com.apple.dock.plist", "second");
  replaceFile(directory / "com.orrin.quayline.plist", "x");
  waitUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(dock, 2);
  EXPECT_EQ(own, 1);
}

}  // namespace
}  // namespace quayline::x11test
