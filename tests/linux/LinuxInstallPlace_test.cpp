#include "platform/linux/LinuxInstallPlace.h"

#include <fstream>

#include "fakes/TemporaryHome.h"
#include "foundation/FileReading.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

class LinuxInstallPlaceTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    source = root / "media" / "STICK";
    destination = root / "home" / ".local";
    write(source / "bin/quayline", "new program");
    write(source / "libexec/quayline/Keelguard", "new keelguard");
    write(source / "share/quayline/Info.plist", "new info");
    write(source / "share/applications/com.orrin.quayline.desktop",
          "[Desktop Entry]\nName=Quayline\nExec=quayline\nTryExec=quayline\n");
    write(destination / "bin/quayline", "old program");
    write(destination / "share/quayline/Info.plist", "old info");
    write(destination / "share/quayline/stale", "old only");
    write(destination / "bin/other", "someone else's");
  }
  static void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  static std::string read(const fs::path& path) { return readFile(path).value_or("<missing>"); }
  // Every file under the folder, relative, with its contents.
  std::map<std::string, std::string> tree(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file()) {
        files[fs::relative(entry.path(), folder).string()] = read(entry.path());
      }
    }
    return files;
  }

  fs::path source;
  fs::path destination;
};

TEST_F(LinuxInstallPlaceTest, InstallingReplacesTheOldCopyWholeAndLeavesOtherFilesAlone) {
  LinuxInstallPlace place(source, destination);
  ASSERT_EQ(place.installInto(destination.string()), std::nullopt);
  const auto installed = tree(destination);
  EXPECT_EQ(installed.at("bin/quayline"), "new program");
  EXPECT_EQ(installed.at("bin/other"), "someone else's");
  EXPECT_EQ(installed.at("libexec/quayline/Keelguard"), "new keelguard");
  EXPECT_EQ(installed.at("share/quayline/Info.plist"), "new info");
  EXPECT_FALSE(installed.contains("share/quayline/stale"));
  const std::string program = (destination / "bin/quayline").string();
  EXPECT_EQ(installed.at("share/applications/com.orrin.quayline.desktop"),
            "[Desktop Entry]\nName=Quayline\nExec=" + program + "\nTryExec=" + program + "\n");
  EXPECT_EQ(installed.size(), 5u) << "nothing staged or replaced is left behind";
  EXPECT_EQ(read(source / "bin/quayline"), "new program");  // the running copy stays usable
}

TEST_F(LinuxInstallPlaceTest, AFailingCopyLeavesTheInstalledCopyAsItWas) {
  const auto before = tree(destination);
  int copies = 0;
  LinuxInstallPlace place(source, destination, [&](const fs::path& from, const fs::path& to) {
    if (++copies == 3) {
      return std::make_error_code(std::errc::no_space_on_device);
    }
    return LinuxInstallPlace::copyRecursively(from, to);
  });
  const auto error = place.installInto(destination.string());
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find("No space left on device"), std::string::npos) << *error;
  EXPECT_EQ(tree(destination), before);

  // Installing into its own place is refused rather than emptying it.
  LinuxInstallPlace self(source, destination);
  EXPECT_TRUE(self.installInto(source.string()).has_value());
  EXPECT_EQ(read(source / "bin/quayline"), "new program");
}

TEST_F(LinuxInstallPlaceTest, TheMountHoldingAPathTellsReadOnlyImagesApart) {
  const std::string mountinfo =
      "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
      "80 22 7:3 / /media/ada/My\\040Disc ro,nosuid shared:40 - iso9660 /dev/sr0 ro\n"
      "81 22 8:17 / /media/ada/STICK rw,nosuid shared:41 - vfat /dev/sdb1 rw\n"
      "82 22 0:51 / /tmp/.mount_Quayl1 rw,nosuid shared:42 - fuse.Quayline.AppImage Quayline "
      "rw\n"
      "83 22 7:4 / /snap/quayline/1 ro,nodev master:3 - squashfs /dev/loop4 ro\n";
  struct Row {
    std::string path, mountPoint;
    bool readOnly;
  };
  const Row rows[] = {
      {"/usr", "/", false},
      {"/media/ada/My Disc/quayline", "/media/ada/My Disc", true},
      {"/media/ada/STICK/quayline", "/media/ada/STICK", false},
      {"/media/ada/STICKER", "/", false},
      {"/snap/quayline/1/usr", "/snap/quayline/1", true},
  };
  for (const auto& row : rows) {
    const auto mount = LinuxInstallPlace::mountHolding(mountinfo, row.path);
    ASSERT_TRUE(mount) << row.path;
    EXPECT_EQ(mount->mountPoint, row.mountPoint) << row.path;
    EXPECT_EQ(mount->readOnly, row.readOnly) << row.path;
  }
}

}  // namespace
}  // namespace quayline
