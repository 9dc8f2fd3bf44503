#include "platform/linux/XdgPaths.h"

#include <fstream>

#include "fakes/TemporaryHome.h"

namespace quayline {
namespace {

using XdgPathsTest = TemporaryHome;

TEST_F(XdgPathsTest, FoldersComeFromTheEnvironmentWithTheirDefaults) {
  XdgPaths paths;
  EXPECT_EQ(paths.homeDirectory(), (root / "home").string());
  EXPECT_EQ(paths.applicationSupportDirectory(), (root / "data").string());
  for (const char* ignored : {"", "relative/data"}) {
    ::setenv("XDG_DATA_HOME", ignored, 1);
    EXPECT_EQ(paths.applicationSupportDirectory(), (root / "home/.local/share").string());
  }
  ::unsetenv("HOME");
  EXPECT_FALSE(paths.homeDirectory().empty());  // the account's home
}

TEST_F(XdgPathsTest, DownloadsFolderFromUserDirs) {
  XdgPaths paths;
  const std::string home = (root / "home").string();
  struct Row {
    const char* file;
    std::string expected;
  };
  const Row rows[] = {
      {nullptr, home + "/Downloads"},
      {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n",
       home + "/Téléchargements"},
      {"  XDG_DOWNLOAD_DIR = \"/srv/incoming\"\r\n", "/srv/incoming"},
      {"XDG_DOWNLOAD_DIR=\"$HOME/My\\\"Files\"\n", home + "/My\"Files"},
      {"XDG_DOWNLOAD_DIR=\"relative/path\"\n", home + "/Downloads"},
      {"XDG_DOWNLOAD_DIR=$HOME/unquoted\n", home + "/Downloads"},
      {"XDG_DOWNLOAD_DIR=\"$HOMEWARD\"\n", home + "/Downloads"},
      {"XDG_DOWNLOAD_DIR=\"/first\"\nXDG_DOWNLOAD_DIR=\"/second\"\n", "/second"},
  };
  for (const auto& row : rows) {
    std::filesystem::remove(root / "config/user-dirs.dirs");
    if (row.file) {
      std::ofstream(root / "config/user-dirs.dirs") << row.file;
    }
    EXPECT_EQ(paths.downloadsDirectory(), row.expected) << (row.file ? row.file : "(no file)");
  }
}

}  // namespace
}  // namespace quayline
