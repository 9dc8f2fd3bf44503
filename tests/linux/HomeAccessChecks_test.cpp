#include "platform/linux/HomeAccessChecks.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fakes/TemporaryHome.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

using HomeAccessChecksTest = TemporaryHome;

TEST_F(HomeAccessChecksTest, ASandboxReachesTheHomeFolderOnlyWhenItsContextGrantsIt) {
  EXPECT_TRUE(HomeAccessChecks::homeReadable(root / "absent"));  // not sandboxed
  const struct {
    const char* info;
    bool readable;
  } table[] = {
      {"[Application]\nname=a\n[Context]\nfilesystems=xdg-download;home;\n", true},
      {"[Context]\nshared=ipc;\nfilesystems=host:ro\n", true},
      {"[Context]\nfilesystems=xdg-download;~/Music;\n", false},
      {"[Context]\nfilesystems=host-os;host-etc;\n", false},
      {"[Instance]\nfilesystems=home;\n[Context]\nsockets=x11;\n", false},  // not its context
      {"", false},
  };
  for (const auto& row : table) {
    std::ofstream(root / "flatpak-info") << row.info;
    EXPECT_EQ(HomeAccessChecks::homeReadable(root / "flatpak-info"), row.readable) << row.info;
  }
  fs::remove(root / "flatpak-info");
  fs::create_directory(root / "flatpak-info");  // unreadable as a file
  EXPECT_FALSE(HomeAccessChecks::homeReadable(root / "flatpak-info"));
}

TEST_F(HomeAccessChecksTest, TheTrashIsWritableOrCreatableUnlessSomethingElseIsInTheWay) {
  EXPECT_TRUE(HomeAccessChecks::trashWritable(root / "data" / "Trash"));  // created on demand
  fs::create_directories(root / "data" / "Trash" / "files");
  EXPECT_TRUE(HomeAccessChecks::trashWritable(root / "data" / "Trash"));

  std::ofstream(root / "data" / "Trash" / "info") << "a file where a folder belongs";
  EXPECT_FALSE(HomeAccessChecks::trashWritable(root / "data" / "Trash"));
  std::ofstream(root / "file") << "";
  EXPECT_FALSE(HomeAccessChecks::trashWritable(root / "file" / "Trash"));
  if (::geteuid() != 0) {  // root writes anywhere
    fs::create_directories(root / "locked" / "Trash");
    fs::permissions(root / "locked" / "Trash", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(HomeAccessChecks::trashWritable(root / "locked" / "Trash"));
    fs::permissions(root / "locked" / "Trash", fs::perms::owner_all);
  }
}

}  // namespace
}  // namespace quayline
