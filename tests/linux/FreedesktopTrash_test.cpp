#include "platform/linux/FreedesktopTrash.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "fakes/FakeWorkspace.h"
#include "fakes/TemporaryHome.h"
#include "stacks/TrashService.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

class FreedesktopTrashTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    home = root / "data/Trash";
    volume = root / "volume";
    volumeTrash = volume / (".Trash-" + std::to_string(::getuid()));
    for (const fs::path& trash : {home, volumeTrash}) {
      fs::create_directories(trash / "files");
      fs::create_directories(trash / "info");
    }
    // A mount table naming the volume, a network share and a pseudo file system.
    mounts = root / "mounts";
    std::ofstream(mounts) << "/dev/sda1 / ext4 rw 0 0\n"
                          << "proc /proc proc rw 0 0\n"
                          << "server:/x " << (root / "share").string() << " nfs4 rw 0 0\n"
                          << "/dev/sdb1 " << volume.string() << " ext4 rw 0 0\n";
    fs::create_directories(root / "share" / (".Trash-" + std::to_string(::getuid())) / "files");
  }

  // Puts a file into a trash the way a file manager does: the item, its description and,
  // for a folder, its line in the size cache.
  static void trashFile(const fs::path& trash, const std::string& name) {
    std::ofstream(trash / "files" / name) << "contents";
    std::ofstream(trash / "info" / (name + ".trashinfo"))
        << "[Trash Info]\nPath=/somewhere/" << name << "\nDeletionDate=2026-01-01T00:00:00\n";
  }

  std::set<std::string> listed(FreedesktopTrash& trash) {
    std::set<std::string> names;
    trash.listItems([&](std::string_view name) {
      names.emplace(name);
      return true;
    });
    return names;
  }

  fs::path home, volume, volumeTrash, mounts;
  FakeWorkspace workspace;
};

TEST_F(FreedesktopTrashTest, ListsTheHomeTrashAndEachLocalVolumesTrash) {
  FreedesktopTrash trash(home.string(), ::getuid(), workspace, mounts.string());
  EXPECT_EQ(trash.trashFolders(), (std::vector<std::string>{home.string(), volumeTrash.string()}))
      << "network shares and pseudo file systems hold no trash";

  std::ofstream(home / "files" / ".DS_Store") << "";
  EXPECT_FALSE(TrashService::holdsItems(trash)) << "only the folder settings";
  trashFile(volumeTrash, "on-volume.txt");
  EXPECT_TRUE(TrashService::holdsItems(trash));
  EXPECT_EQ(listed(trash), (std::set<std::string>{".DS_Store", "on-volume.txt"}));

  // No trash folder at all: nothing could be listed.
  FreedesktopTrash missing((root / "nowhere").string(), ::getuid(), workspace, "");
  EXPECT_FALSE(missing.listItems([](std::string_view) { return true; }));
}

TEST_F(FreedesktopTrashTest, EmptyingDeletesItemsDescriptionsAndSizesButNothingOutside) {
  // A folder outside the trash, reached from inside it through a link in a trashed folder and
  // through a trashed link.
  const fs::path outside = root / "home/keep";
  fs::create_directories(outside);
  std::ofstream(outside / "precious.txt") << "keep me";
  fs::create_directories(home / "files/project/sub");
  std::ofstream(home / "files/project/sub/a.txt") << "a";
  fs::create_directory_symlink(outside, home / "files/project/link");
  std::ofstream(home / "info/project.trashinfo") << "[Trash Info]\n";
  fs::create_directory_symlink(outside, home / "files/shortcut");
  std::ofstream(home / "info/shortcut.trashinfo") << "[Trash Info]\n";
  const std::string oddName = "caf\xe9 \xff.txt";  // not UTF-8
  trashFile(home, oddName);
  trashFile(volumeTrash, "on-volume.txt");
  // A description whose item is gone, and a size line for it and for the project.
  std::ofstream(home / "info/vanished.trashinfo") << "[Trash Info]\n";
  std::ofstream(home / "directorysizes") << "4096 1700000000 project\n"
                                         << "10 1700000000 vanished\n";

  FreedesktopTrash trash(home.string(), ::getuid(), workspace, mounts.string());
  trash.empty();

  EXPECT_TRUE(fs::is_empty(home / "files"));
  EXPECT_TRUE(fs::is_empty(home / "info"));
  EXPECT_TRUE(fs::is_empty(volumeTrash / "files"));
  EXPECT_TRUE(fs::is_empty(volumeTrash / "info"));
  std::ifstream sizes(home / "directorysizes");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(sizes), {}), "");
  EXPECT_TRUE(fs::exists(outside / "precious.txt")) << "a link is deleted, never followed";
  EXPECT_FALSE(TrashService::holdsItems(trash));
}

TEST_F(FreedesktopTrashTest, AFilesFolderThatIsALinkIsLeftAlone) {
  const fs::path elsewhere = root / "home/documents";
  fs::create_directories(elsewhere);
  std::ofstream(elsewhere / "thesis.txt") << "keep me";
  fs::remove_all(home / "files");
  fs::create_directory_symlink(elsewhere, home / "files");

  FreedesktopTrash(home.string(), ::getuid(), workspace, "").empty();
  EXPECT_TRUE(fs::exists(elsewhere / "thesis.txt"));
}

TEST_F(FreedesktopTrashTest, OpensTheTrashLocationOrElseItsItemsFolder) {
  FreedesktopTrash trash(home.string(), ::getuid(), workspace, "");
  trash.open();
  ASSERT_EQ(workspace.requests.size(), 1u);
  EXPECT_EQ(workspace.requests[0].arguments, (std::vector<std::string>{"trash:///"}));

  workspace.requests.clear();
  workspace.failRequests = true;  // no handler for trash:
  trash.open();
  ASSERT_EQ(workspace.requests.size(), 2u);
  EXPECT_EQ(
      workspace.requests[1].arguments,
      (std::vector<std::string>{Url::fileURL((home / "files").string(), true).absoluteString()}));
}

}  // namespace
}  // namespace quayline
