#include "platform/linux/XdgAutostartEntry.h"

#include <fstream>

#include "fakes/FakeInstallPlace.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/TemporaryHome.h"
#include "foundation/FileReading.h"
#include "system/InstallLocation.h"
#include "system/LoginItemService.h"

namespace quayline {
namespace {

using Status = LoginItemRegistration::Status;

class XdgAutostartEntryTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    entry = XdgAutostartEntry(XdgAutostartEntry::defaultPath());
    program = root / "my apps" / "bin" / "quayline";
    std::filesystem::create_directories(program.parent_path());
    std::ofstream(program) << "#!/bin/sh\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    place.copy = {(root / "my apps").string()};
  }
  void writeEntry(const std::string& text) {
    std::filesystem::create_directories(entry.path().parent_path());
    std::ofstream(entry.path()) << text;
  }

  std::filesystem::path program;
  XdgAutostartEntry entry{""};  // in the test's own folders once they exist
  FakeInstallPlace place;
  InstallLocation location{place};
  FakeSystemLog log;
  LoginItemService loginItem{entry, location, log};
};

TEST_F(XdgAutostartEntryTest, ExecArgumentsAreQuotedAndEscapedAndReadBackTheSame) {
  struct Row {
    std::string argument;
    std::string exec;
  };
  const Row rows[] = {
      {"/usr/bin/quayline", "/usr/bin/quayline"},
      {"/home/ada/my apps/quayline", R"("/home/ada/my apps/quayline")"},
      // Inside quotes ", `, $ and \ take a backslash; the string escaping doubles backslashes.
      {R"(/opt/"q"/$HOME/`x`/a\b)", R"("/opt/\\"q\\"/\\$HOME/\\`x\\`/a\\\\b")"},
      {"/opt/it's/q", R"("/opt/it's/q")"},
      {"/opt/100%/q", "/opt/100%%/q"},
      {"/opt/a\tb", R"("/opt/a\tb")"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(XdgAutostartEntry::execValue({row.argument}), row.exec);
    EXPECT_EQ(XdgAutostartEntry::execArguments(row.exec), std::vector{row.argument}) << row.exec;
  }
  EXPECT_EQ(XdgAutostartEntry::execArguments(R"(env "A B" quayline --x)"),
            (std::vector<std::string>{"env", "A B", "quayline", "--x"}));
  EXPECT_TRUE(XdgAutostartEntry::execArguments(R"("unterminated)").empty());
}

TEST_F(XdgAutostartEntryTest, RegisteringWritesAnEntryForTheProgramAndUnregisteringRemovesIt) {
  EXPECT_EQ(entry.path(), root / "config" / "autostart" / "com.orrin.quayline.desktop");
  EXPECT_EQ(entry.status(), Status::notRegistered);
  EXPECT_TRUE(loginItem.setEnabled(true));
  EXPECT_EQ(entry.status(), Status::enabled);
  const auto text = readFile(entry.path()).value_or("");
  EXPECT_NE(text.find("Exec=\"" + program.string() + "\"\n"), std::string::npos) << text;
  EXPECT_TRUE(text.starts_with("[Desktop Entry]\nType=Application\n"));

  EXPECT_TRUE(loginItem.setEnabled(false));
  EXPECT_FALSE(std::filesystem::exists(entry.path()));
  EXPECT_TRUE(loginItem.setEnabled(false));  // nothing left to remove
  EXPECT_TRUE(log.consoleLines.empty());
}

TEST_F(XdgAutostartEntryTest, TheDesktopsOwnSwitchIsLeftAloneUntilTheUserTurnsTheSettingOff) {
  for (const std::string off : {"Hidden=true", "X-GNOME-Autostart-enabled=false"}) {
    const std::string text = "[Desktop Entry]\nType=Application\nExec=" + program.string() + "\n" +
                             off + "\n[Desktop Action x]\nHidden=false\n";
    writeEntry(text);
    EXPECT_EQ(entry.status(), Status::requiresApproval) << off;
    EXPECT_TRUE(loginItem.setEnabled(true));
    EXPECT_EQ(readFile(entry.path()), text) << "never overwritten";

    EXPECT_TRUE(loginItem.setEnabled(false));
    EXPECT_FALSE(std::filesystem::exists(entry.path())) << "awaiting approval, then turned off";
  }
}

TEST_F(XdgAutostartEntryTest, AnEntryForAVanishedProgramIsNotFoundAndAFailedWriteIsLogged) {
  writeEntry("[Desktop Entry]\nExec=/nonexistent/bin/quayline\n");
  EXPECT_EQ(entry.status(), Status::notFound);
  writeEntry("[Desktop Entry]\nExec=quayline\n");  // found through PATH at login
  EXPECT_EQ(entry.status(), Status::enabled);

  std::filesystem::remove(entry.path());
  std::filesystem::remove_all(root / "config");
  std::ofstream(root / "config") << "a file where the folder should be";
  EXPECT_FALSE(loginItem.setEnabled(true));
  ASSERT_EQ(log.consoleLines.size(), 1u);
  EXPECT_TRUE(log.consoleLines[0].starts_with("Quayline: login item register failed: "));
}

}  // namespace
}  // namespace quayline
