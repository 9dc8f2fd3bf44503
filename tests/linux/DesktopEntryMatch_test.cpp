#include "platform/linux/DesktopEntryMatch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/DesktopEntryIndex.h"

namespace quayline {
namespace {

// Entry files as a desktop installs them: an editor with a settings entry and a hidden helper on
// the same program, a browser with a web application, a script, a program that names its class.
// "@" stands for the folder of the programs (GIO skips entries whose program it cannot find).
const std::vector<std::pair<std::string, std::string>> kFiles{
    {"aaa-editor-helper.desktop", "Name=Editor Helper\nExec=@editor %F\nNoDisplay=true\n"},
    {"org.example.Editor-settings.desktop", "Name=Editor Settings\nExec=@editor --preferences\n"},
    {"org.example.Editor.desktop", "Name=Editor\nExec=@editor %U\n"},
    {"org.example.Browser.desktop", "Name=Browser\nExec=@browser %U\n"},
    {"mail-web.desktop",
     "Name=Mail\nExec=@browser --app=https://mail.example\nStartupWMClass=MailApp\n"},
    {"org.example.Tool.desktop", "Name=Tool\nExec=python3 /usr/share/tool/tool.py\n"},
    {"org.example.Viewer.desktop", "Name=Viewer\nExec=@viewer %f\nStartupWMClass=ViewerMain\n"},
};

std::string expanded(std::string text, const std::string& folder) {
  for (auto at = text.find('@'); at != std::string::npos; at = text.find('@')) {
    text.replace(at, 1, folder);
  }
  return text;
}

class DesktopEntryMatchTest : public testing::Test {
 protected:
  void SetUp() override {
    folder =
        std::filesystem::temp_directory_path() / ("quayline-entries-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "bin");
    for (const char* program : {"editor", "browser", "viewer"}) {
      std::ofstream(folder / "bin" / program) << "#!/bin/sh\n";
      std::filesystem::permissions(folder / "bin" / program, std::filesystem::perms::owner_all);
    }
    for (const auto& [id, body] : kFiles) {
      std::ofstream(folder / id) << "[Desktop Entry]\nType=Application\n"
                                 << expanded(body, (folder / "bin").string() + "/");
      auto entry = DesktopEntryIndex::read((folder / id).string(), id);
      ASSERT_TRUE(entry) << id;
      entries.push_back(*entry);
    }
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::string match(const ClientIdentity& client) const {
    const DesktopEntry* entry = matchDesktopEntry(entries, client);
    return entry ? entry->desktopFileId : "none";
  }
  std::string path(const std::string& id) const { return (folder / id).string(); }

  std::filesystem::path folder;
  std::vector<DesktopEntry> entries;
};

TEST_F(DesktopEntryMatchTest, ReadsWhatTheRuleWeighs) {
  EXPECT_TRUE(entries[0].noDisplay);
  EXPECT_TRUE(entries[0].plainCommand) << "field codes are no arguments";
  EXPECT_FALSE(entries[1].plainCommand);
  EXPECT_EQ(entries[1].executable, "editor");
  EXPECT_EQ(entries[4].startupWMClass, "MailApp");
}

TEST_F(DesktopEntryMatchTest, FollowsTheOrderOfEvidence) {
  struct Row {
    const char* what;
    ClientIdentity client;
    std::string expected;
  };
  const std::vector<Row> rows{
      {"the window names its entry",
       {"editor", "Editor", "editor", "org.example.Editor-settings"},
       "org.example.Editor-settings.desktop"},
      {"a named entry that is not installed counts for nothing",
       {"editor", "Editor", "editor", "org.gone.App"},
       "org.example.Editor.desktop"},
      {"a KDE desktop file given as a path",
       {"x", "X", "", "", path("org.example.Browser.desktop")},
       "org.example.Browser.desktop"},
      {"StartupWMClass beats the shared program",
       {"mailapp", "MailApp", "browser"},
       "mail-web.desktop"},
      {"StartupWMClass beats the launch",
       {"mailapp", "MailApp", "browser", "", "", path("org.example.Browser.desktop")},
       "mail-web.desktop"},
      {"the entry this program launched",
       {"unknown", "Unknown", "editor", "", "", path("org.example.Editor-settings.desktop")},
       "org.example.Editor-settings.desktop"},
      {"the id's last component, not the settings entry",
       {"editor", "Editor", "editor"},
       "org.example.Editor.desktop"},
      {"the whole id, ignoring case",
       {"x", "ORG.EXAMPLE.BROWSER", "browser"},
       "org.example.Browser.desktop"},
      {"the program's plain, shown entry",
       {"unrelated", "Unrelated", "editor"},
       "org.example.Editor.desktop"},
      {"never an interpreter", {"unrelated", "Unrelated", "python3"}, "none"},
      {"nor a versioned one", {"unrelated", "Unrelated", "python3.11"}, "none"},
      {"an entry naming a class claims no other class", {"other", "Other", "viewer"}, "none"},
      {"the id even where StartupWMClass names another class",
       {"viewer", "Viewer", ""},
       "org.example.Viewer.desktop"},
      {"nothing to go by", {}, "none"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(match(row.client), row.expected) << row.what;
  }
  // A startup message that names only the program.
  EXPECT_EQ(entryRunning(entries, "editor")->desktopFileId, "org.example.Editor.desktop");
  EXPECT_EQ(entryRunning(entries, "python3"), nullptr);
}

}  // namespace
}  // namespace quayline
