#include "platform/linux/GioFileOperations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "fakes/TemporaryHome.h"
#include "foundation/FileReading.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;
using Next = FileMoves::Next;

void write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

std::string read(const fs::path& path) {
  return readFile(path).value_or("");
}

class GioFileOperationsTest : public TemporaryHome {
 protected:
  fs::path trash() const { return root / "data" / "Trash"; }
  GioFileOperations files;
};

TEST_F(GioFileOperationsTest, TrashKeepsEveryItemWithItsInfoAndRenamesCollisions) {
  write(root / "home" / "a.txt", "first");
  ASSERT_TRUE(files.moveToTrash((root / "home" / "a.txt").string()).succeeded);
  write(root / "home" / "a.txt", "second");
  ASSERT_TRUE(files.moveToTrash((root / "home" / "a.txt").string()).succeeded);

  EXPECT_FALSE(fs::exists(root / "home" / "a.txt"));
  EXPECT_EQ(read(trash() / "files" / "a.txt"), "first");
  EXPECT_EQ(read(trash() / "files" / "a.2.txt"), "second");
  EXPECT_THAT(read(trash() / "info" / "a.2.txt.trashinfo"),
              ::testing::HasSubstr("Path=" + (root / "home" / "a.txt").string()));

  // Already in the Trash, or gone: refused, nothing deleted.
  EXPECT_FALSE(files.moveToTrash((trash() / "files" / "a.txt").string()).succeeded);
  EXPECT_EQ(read(trash() / "files" / "a.txt"), "first");
  EXPECT_FALSE(files.moveToTrash((root / "home" / "vanished.txt").string()).succeeded);
}

TEST(FileMovesTrash, TrashFoldersAreRecognisedAtAnyDepth) {
  const std::string home = "/home/u/.local/share/Trash";
  EXPECT_TRUE(FileMoves::isInTrash(home, home, 1000));
  EXPECT_TRUE(FileMoves::isInTrash(home + "/files/x", home, 1000));
  EXPECT_TRUE(FileMoves::isInTrash("/media/usb/.Trash-1000/files/x", home, 1000));
  EXPECT_TRUE(FileMoves::isInTrash("/media/usb/.Trash/1000/files/x", home, 1000));
  EXPECT_FALSE(FileMoves::isInTrash("/media/usb/.Trash-1001/files/x", home, 1000));
  EXPECT_FALSE(FileMoves::isInTrash("/home/u/.local/share/Trashy/x", home, 1000));
  EXPECT_FALSE(FileMoves::isInTrash("/media/usb/.Trash/notes/1000", home, 1000));
}

TEST_F(GioFileOperationsTest, MovesNeverReplaceAndNeverMoveAFolderIntoItself) {
  write(root / "home" / "a.txt", "mine");
  write(root / "home" / "Inbox" / "a.txt", "theirs");
  write(root / "home" / "b.txt", "b");
  fs::create_directories(root / "home" / "Box" / "inner");

  const auto move = [&](const fs::path& from, const fs::path& to) {
    return files.moveWithoutReplacing(from.string(), to.string());
  };
  EXPECT_FALSE(move(root / "home" / "a.txt", root / "home" / "Inbox" / "a.txt").succeeded);
  EXPECT_EQ(read(root / "home" / "a.txt"), "mine");
  EXPECT_EQ(read(root / "home" / "Inbox" / "a.txt"), "theirs");

  EXPECT_TRUE(move(root / "home" / "b.txt", root / "home" / "Inbox" / "b.txt").succeeded);
  EXPECT_EQ(read(root / "home" / "Inbox" / "b.txt"), "b");

  EXPECT_FALSE(move(root / "home" / "Box", root / "home" / "Box" / "inner" / "Box").succeeded);
  EXPECT_FALSE(move(root / "home" / "gone.txt", root / "home" / "Inbox" / "gone.txt").succeeded);
  EXPECT_TRUE(fs::exists(root / "home" / "Box" / "inner"));
}

TEST_F(GioFileOperationsTest, AcrossFileSystemsFilesMoveAndFoldersStay) {
  const fs::path other = fs::path("/dev/shm") / root.filename();
  struct stat here {
  }, there{};
  if (::stat("/dev/shm", &there) != 0 || ::stat(root.c_str(), &here) != 0 ||
      here.st_dev == there.st_dev) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  write(other / "note.txt", "across");
  fs::create_directories(other / "Folder" / "sub");
  write(root / "home" / "Inbox" / "taken.txt", "theirs");
  write(other / "taken.txt", "mine");

  EXPECT_TRUE(files
                  .moveWithoutReplacing((other / "note.txt").string(),
                                        (root / "home" / "Inbox" / "note.txt").string())
                  .succeeded);
  EXPECT_EQ(read(root / "home" / "Inbox" / "note.txt"), "across");
  EXPECT_FALSE(fs::exists(other / "note.txt"));

  const auto folder = files.moveWithoutReplacing((other / "Folder").string(),
                                                 (root / "home" / "Inbox" / "Folder").string());
  EXPECT_FALSE(folder.succeeded);
  EXPECT_TRUE(fs::exists(other / "Folder" / "sub"));
  EXPECT_FALSE(fs::exists(root / "home" / "Inbox" / "Folder"));

  EXPECT_FALSE(files
                   .moveWithoutReplacing((other / "taken.txt").string(),
                                         (root / "home" / "Inbox" / "taken.txt").string())
                   .succeeded);
  EXPECT_EQ(read(root / "home" / "Inbox" / "taken.txt"), "theirs");
  EXPECT_EQ(read(other / "taken.txt"), "mine");
  fs::remove_all(other);
}

TEST(FileMovesDecision, WhatFollowsTheNoReplaceRename) {
  EXPECT_EQ(FileMoves::afterRename(0, false), Next::done);
  EXPECT_EQ(FileMoves::afterRename(EXDEV, false), Next::moveWithGio);
  EXPECT_EQ(FileMoves::afterRename(EXDEV, true), Next::refuseFolderAcrossFileSystems);
  EXPECT_EQ(FileMoves::afterRename(EINVAL, true), Next::moveWithGio);
  for (const int error : {EEXIST, EACCES, EROFS, ENOSPC, ENOENT}) {
    EXPECT_EQ(FileMoves::afterRename(error, false), Next::fail) << error;
  }
}

TEST_F(GioFileOperationsTest, OnlyInstalledDesktopEntriesAreApplications) {
  const std::string entry = "[Desktop Entry]\nType=Application\nName=Editor\nExec=true %F\n";
  write(root / "data" / "applications" / "org.example.Editor.desktop", entry);
  write(root / "home" / "Downloads" / "org.example.Editor.desktop", entry);
  write(root / "data" / "applications" / "broken.desktop", "not an entry");

  const FileFacts installed =
      files.facts((root / "data" / "applications" / "org.example.Editor.desktop").string());
  EXPECT_EQ(installed, (FileFacts{false, true, "org.example.Editor"}));
  EXPECT_EQ(files.facts((root / "home" / "Downloads" / "org.example.Editor.desktop").string()),
            (FileFacts{false, false, {}}));
  EXPECT_EQ(files.facts((root / "data" / "applications" / "broken.desktop").string()),
            (FileFacts{false, false, {}}));
  EXPECT_EQ(files.facts((root / "home" / "Downloads").string()), (FileFacts{true, false, {}}));
  EXPECT_EQ(files.facts((root / "home" / "missing").string()), (FileFacts{}));
}

}  // namespace
}  // namespace quayline
