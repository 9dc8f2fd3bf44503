// Folder stacks over real folders: what is listed, in which order, how many, and what a folder
// that cannot be read says.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "fakes/TemporaryHome.h"
#include "platform/linux/FileSystemFolderListing.h"
#include "stacks/FolderStackListing.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

class FolderListingTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    folder = root / "home" / "Stack";
    fs::create_directories(folder);
  }
  void file(const std::string& name) { std::ofstream(folder / name) << name; }
  std::vector<std::string> names(const FolderStackListingResult& result) {
    std::vector<std::string> shown;
    for (const FolderStackItem& item : result.items) {
      shown.push_back(item.name + (item.isDirectory ? "/" : ""));
    }
    return shown;
  }

  FileSystemFolderListing listing;
  fs::path folder;
};

TEST_F(FolderListingTest, DirectoriesFirstThenNumericCaseInsensitiveWithoutHiddenEntries) {
  for (const char* name :
       {"File 10", "file 2", "File 1", "beta", "Alpha", ".profile", "listed-hidden", "notes~"}) {
    file(name);
  }
  fs::create_directories(folder / "zeta");
  fs::create_directories(folder / ".cache");
  std::ofstream(folder / ".hidden") << "listed-hidden\nnot-there\n";
  fs::create_directory_symlink(folder / "zeta", folder / "to zeta");
  fs::create_symlink(folder / "nowhere", folder / "dangling");
  fs::create_symlink(folder / "loop", folder / "loop");

  const auto result = FolderStackListing::read(listing, folder.string());
  EXPECT_FALSE(result.readError);
  EXPECT_EQ(names(result),
            (std::vector<std::string>{"to zeta/", "zeta/", "Alpha", "beta", "dangling", "File 1",
                                      "file 2", "File 10", "loop", "notes~"}));
  EXPECT_EQ(result.items[1].url, Url::fileURL((folder / "zeta").string(), true));
  EXPECT_EQ(result.items[0].iconNames.front(), "folder");
}

TEST_F(FolderListingTest, KeepsTheFirstHundredAndTwentyInOrder) {
  for (int i = 200; i > 0; --i) {
    file("item " + std::to_string(i));
  }
  for (const char* name : {"b", "a"}) {
    fs::create_directories(folder / name);
  }
  const auto result = FolderStackListing::read(listing, folder.string());
  ASSERT_EQ(result.items.size(), FolderStackListing::itemLimit);
  EXPECT_EQ(result.items[0].name, "a");
  EXPECT_EQ(result.items[1].name, "b");
  EXPECT_EQ(result.items[2].name, "item 1");
  EXPECT_EQ(result.items.back().name, "item 118");
}

TEST_F(FolderListingTest, NamesThatAreNotUtf8ShowReplacementsAndKeepTheirBytes) {
  const std::string raw = "caf\xE9.txt";
  file(raw);
  const auto result = FolderStackListing::read(listing, folder.string());
  ASSERT_EQ(result.items.size(), 1u);
  EXPECT_EQ(result.items[0].name, "caf\uFFFD.txt");
  EXPECT_EQ(result.items[0].path, (folder / raw).string());
  EXPECT_EQ(result.items[0].url.path(), (folder / raw).string());
  EXPECT_TRUE(fs::exists(result.items[0].url.path()));
}

TEST_F(FolderListingTest, TellsAMissingFolderFromOneItMayNotRead) {
  file("plain");
  for (const auto& path : {folder / "gone", folder / "plain"}) {
    const auto result = FolderStackListing::read(listing, path.string());
    ASSERT_TRUE(result.readError) << path;
    EXPECT_NE(result.readError->find("can't be found"), std::string::npos) << *result.readError;
  }
  EXPECT_NE(FolderStackListing::readError(FolderContents::Failure::notAllowed).find("permission"),
            std::string::npos);
  // Root reads every folder: the refusal can only be seen as another user.
  if (::geteuid() != 0) {
    fs::create_directories(folder / "locked");
    ::chmod((folder / "locked").c_str(), 0);
    const auto result = FolderStackListing::read(listing, (folder / "locked").string());
    ASSERT_TRUE(result.readError);
    EXPECT_NE(result.readError->find("permission"), std::string::npos) << *result.readError;
    ::chmod((folder / "locked").c_str(), 0700);
  }
}

TEST_F(FolderListingTest, IconNamesComeFromTheNameAlone) {
  // A PNG's name on text contents: only the name is looked at.
  std::ofstream(folder / "picture.png") << "not an image";
  const auto names = listing.iconNames({(folder / "picture.png").string(), "picture.png", false});
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front().rfind("image-", 0), 0u) << names.front();
}

}  // namespace
}  // namespace quayline
