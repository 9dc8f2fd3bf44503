#include "platform/linux/FilePreferenceDomains.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "fakes/TemporaryHome.h"
#include "foundation/FileReading.h"
#include "platform/linux/DomainFiles.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;
using Dictionary = PropertyValue::Dictionary;

std::string contents(const fs::path& path) {
  return readFile(path).value_or("");
}

void writeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> fileNames(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<Dictionary> storedValues(const fs::path& file) {
  const std::string bytes = contents(file);
  return parseDomainFile(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

class FilePreferenceDomainsTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    directory_ = root / "config" / "quayline" / "preferences";
  }
  fs::path directory_;
};

TEST_F(FilePreferenceDomainsTest, AnotherInstancesWriteIsSeenAfterSynchronize) {
  FilePreferenceDomains first(directory_);
  FilePreferenceDomains second(directory_);
  EXPECT_EQ(first.copy("com.apple.dock", "tilesize"), std::nullopt);

  second.set("com.apple.dock", "tilesize", PropertyValue(48));
  EXPECT_EQ(first.copy("com.apple.dock", "tilesize"), std::nullopt);  // still the cached read
  EXPECT_TRUE(first.synchronize("com.apple.dock"));
  EXPECT_EQ(first.copy("com.apple.dock", "tilesize"), PropertyValue(48));
}

TEST_F(FilePreferenceDomainsTest, SetKeepsWhatAnotherInstanceWroteMeanwhile) {
  FilePreferenceDomains first(directory_);
  FilePreferenceDomains second(directory_);
  EXPECT_TRUE(first.copyAll("com.apple.dock").empty());

  second.set("com.apple.dock", "orientation", PropertyValue("left"));
  first.set("com.apple.dock", "autohide", PropertyValue(true));

  const Dictionary expected{{"autohide", PropertyValue(true)},
                            {"orientation", PropertyValue("left")}};
  EXPECT_EQ(storedValues(directory_ / "com.apple.dock.plist"), expected);
  EXPECT_EQ(FilePreferenceDomains(directory_).copyAll("com.apple.dock"), expected);
}

TEST_F(FilePreferenceDomainsTest, ValuesKeepTheirTypesAndNoneRemoves) {
  {
    FilePreferenceDomains domains(directory_);
    domains.set("com.orrin.quayline", "quayline.autohide", PropertyValue("yes"));
    domains.set("com.orrin.quayline", "quayline.delay", PropertyValue(0.3));
    domains.set("com.orrin.quayline", "quayline.tint", PropertyValue(PropertyData{'{', '}'}));
    domains.set("com.orrin.quayline", "quayline.gone", PropertyValue(1));
    domains.set("com.orrin.quayline", "quayline.gone", std::nullopt);
    domains.set("com.orrin.quayline", "never.there", std::nullopt);
  }
  FilePreferenceDomains reread(directory_);
  EXPECT_EQ(reread.copyAll("com.orrin.quayline"),
            (Dictionary{{"quayline.autohide", PropertyValue("yes")},
                        {"quayline.delay", PropertyValue(0.3)},
                        {"quayline.tint", PropertyValue(PropertyData{'{', '}'})}}));
}

TEST_F(FilePreferenceDomainsTest, CorruptFileReadsEmptyAndIsKeptAsideAtTheFirstSet) {
  fs::create_directories(directory_);
  const fs::path file = directory_ / "com.apple.dock.plist";
  const std::string garbage = "<plist><dict><key>tilesize</key><integer>48";  // cut short
  writeFile(file, garbage);
  writeFile(directory_ / "com.apple.dock.plist.corrupt", "an older casualty");

  FilePreferenceDomains domains(directory_);
  EXPECT_TRUE(domains.copyAll("com.apple.dock").empty());
  EXPECT_TRUE(domains.synchronize("com.apple.dock"));
  domains.set("com.apple.dock", "absent", std::nullopt);  // removes nothing, writes nothing
  EXPECT_EQ(domains.domains(), std::vector<std::string>{});
  EXPECT_EQ(contents(file), garbage);

  domains.set("com.apple.dock", "autohide", PropertyValue(false));
  EXPECT_EQ(contents(directory_ / "com.apple.dock.plist.corrupt"), garbage);
  EXPECT_EQ(storedValues(file), (Dictionary{{"autohide", PropertyValue(false)}}));
}

TEST_F(FilePreferenceDomainsTest, AFileWhoseTopLevelIsNotADictionaryCountsAsCorrupt) {
  fs::create_directories(directory_);
  const std::string array = encodeXmlPropertyList(PropertyValue(PropertyValue::Array{}));
  writeFile(directory_ / "com.apple.dock.plist", array);

  FilePreferenceDomains domains(directory_);
  EXPECT_EQ(domains.fileState("com.apple.dock"), FilePreferenceDomains::FileState::unreadable);
  domains.set("com.apple.dock", "tilesize", PropertyValue(36));
  EXPECT_EQ(contents(directory_ / "com.apple.dock.plist.corrupt"), array);
  EXPECT_EQ(domains.fileState("com.apple.dock"), FilePreferenceDomains::FileState::readable);
}

TEST_F(FilePreferenceDomainsTest, InvalidDomainNamesNeverReachTheFileSystem) {
  FilePreferenceDomains domains(directory_);
  const std::string names[] = {
      "", ".", "..", "../escape", "a/b", std::string("nul\0x", 5), std::string(250, 'x')};
  ::testing::internal::CaptureStderr();
  for (const std::string& name : names) {
    domains.set(name, "key", PropertyValue(1));
    EXPECT_EQ(domains.copy(name, "key"), std::nullopt) << name;
    EXPECT_TRUE(domains.copyAll(name).empty()) << name;
    EXPECT_FALSE(domains.synchronize(name)) << name;
  }
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("invalid domain name"), std::string::npos) << log;
  EXPECT_FALSE(fs::exists(directory_));
  EXPECT_FALSE(fs::exists(directory_.parent_path() / "escape.plist"));
}

TEST_F(FilePreferenceDomainsTest, WritesCreatePrivateFilesAtomicallyUnderPrivateDirectories) {
  FilePreferenceDomains domains(directory_);
  for (int i = 0; i < 5; ++i) {
    domains.set("com.apple.dock", "mod-count", PropertyValue(i));
  }
  domains.set(PreferenceDomains::anyApplication, "AppleIconAppearanceTheme",
              PropertyValue("RegularDark"));

  // Only the finished files remain: no temporary names left behind.
  EXPECT_EQ(fileNames(directory_),
            (std::vector<std::string>{".GlobalPreferences.plist", "com.apple.dock.plist"}));
  struct stat info {};
  ASSERT_EQ(::stat((directory_ / "com.apple.dock.plist").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(directory_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat(directory_.parent_path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(FilePreferenceDomainsTest, DomainsListsReadableDomainFilesOnly) {
  fs::create_directories(directory_);
  FilePreferenceDomains domains(directory_);
  domains.set("com.orrin.quayline", "k", PropertyValue(1));
  domains.set(PreferenceDomains::anyApplication, "k", PropertyValue(1));
  domains.set("com.apple.WindowManager", "GloballyEnabled", PropertyValue(false));
  writeFile(directory_ / "com.example.broken.plist", "not a plist");
  writeFile(directory_ / "NSGlobalDomain.plist", encodeXmlPropertyList(PropertyValue()));
  writeFile(directory_ / "notes.txt", "x");
  writeFile(directory_ / "com.apple.dock.plist.corrupt", encodeXmlPropertyList(PropertyValue()));

  EXPECT_EQ(domains.domains(),
            (std::vector<std::string>{"NSGlobalDomain", "com.apple.WindowManager",
                                      "com.orrin.quayline"}));
}

TEST_F(FilePreferenceDomainsTest, AFailedWriteKeepsTheValueAndFailsSynchronizeUntilWritten) {
  // A file where the directory's parent should be makes every write fail, even for root.
  const fs::path blocked = root / "blocked";
  writeFile(blocked, "");
  FilePreferenceDomains domains(blocked / "preferences");

  ::testing::internal::CaptureStderr();
  domains.set("com.apple.dock", "tilesize", PropertyValue(64));
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("could not write"), std::string::npos) << log;
  EXPECT_EQ(domains.copy("com.apple.dock", "tilesize"), PropertyValue(64));
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(domains.synchronize("com.apple.dock"));
  ::testing::internal::GetCapturedStderr();

  // Once the obstacle is gone the pending value is written.
  fs::remove(blocked);
  EXPECT_TRUE(domains.synchronize("com.apple.dock"));
  EXPECT_EQ(storedValues(blocked / "preferences" / "com.apple.dock.plist"),
            (Dictionary{{"tilesize", PropertyValue(64)}}));
}

TEST_F(FilePreferenceDomainsTest, RemovingAndReplacingWholeDomains) {
  FilePreferenceDomains domains(directory_);
  domains.set("com.apple.dock", "tilesize", PropertyValue(48));
  EXPECT_TRUE(domains.replaceAll("com.apple.dock", Dictionary{{"autohide", PropertyValue(true)}}));
  EXPECT_EQ(FilePreferenceDomains(directory_).copyAll("com.apple.dock"),
            (Dictionary{{"autohide", PropertyValue(true)}}));

  EXPECT_TRUE(domains.removeDomain("com.apple.dock"));
  EXPECT_FALSE(fs::exists(directory_ / "com.apple.dock.plist"));
  EXPECT_TRUE(domains.copyAll("com.apple.dock").empty());
}

TEST_F(FilePreferenceDomainsTest, ConcurrentWritersFromSeveralThreadsLoseNothing) {
  FilePreferenceDomains domains(directory_);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&domains, t] {
      for (int i = 0; i < 10; ++i) {
        const std::string key = "k" + std::to_string(t) + "-" + std::to_string(i);
        domains.set("com.orrin.quayline", key, PropertyValue(i));
        EXPECT_EQ(domains.copy("com.orrin.quayline", key), PropertyValue(i));
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(FilePreferenceDomains(directory_).copyAll("com.orrin.quayline").size(), 40u);
}

TEST_F(FilePreferenceDomainsTest, TheFolderFollowsTheOverrideThenXdgThenHome) {
  ::setenv("HOME", "/home/mara", 1);
  ::setenv("QUAYLINE_PREFERENCES_DIR", "/tmp/prefs", 1);
  ::setenv("XDG_CONFIG_HOME", "/home/mara/.cfg", 1);
  EXPECT_EQ(FilePreferenceDomains::defaultDirectory(), "/tmp/prefs");
  ::setenv("QUAYLINE_PREFERENCES_DIR", "", 1);
  EXPECT_EQ(FilePreferenceDomains::defaultDirectory(), "/home/mara/.cfg/quayline/preferences");
  ::unsetenv("QUAYLINE_PREFERENCES_DIR");
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(FilePreferenceDomains::defaultDirectory(), "/home/mara/.config/quayline/preferences");
}

}  // namespace
}  // namespace quayline
