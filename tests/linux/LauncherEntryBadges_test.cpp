#include "platform/linux/LauncherEntryBadges.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>

#include "dock/BadgeService.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/TemporaryHome.h"
#include "linux/QtEventLoop.h"
#include "platform/linux/DesktopEntryApplicationIdentity.h"
#include "platform/linux/WithBadgeDock.h"

namespace quayline {
namespace {

// Runs the event loop until the condition holds or five seconds have passed.
bool eventually(const std::function<bool()>& condition) {
  return QtEventLoop::runUntil(condition, std::chrono::seconds(5));
}

// The first line a command prints, without its line end.
std::string firstLine(const std::string& command) {
  std::string line;
  if (FILE* output = ::popen(command.c_str(), "r")) {
    char buffer[512] = {};
    if (std::fgets(buffer, sizeof buffer, output) != nullptr) {
      line = buffer;
    }
    ::pclose(output);
  }
  line.erase(line.find_last_not_of('\n') + 1);
  return line;
}

// A private session bus with a test client that publishes launcher-entry updates.
class LauncherEntryBadgesTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    QtEventLoop::ensureApplication();
    if (std::system("command -v dbus-daemon gdbus >/dev/null") != 0) {
      GTEST_SKIP() << "dbus-daemon or gdbus is not installed";
    }
    FILE* daemon = ::popen(
        "dbus-daemon --config-file=/usr/share/dbus-1/session.conf --fork --print-address=1 "
        "--print-pid=1 --nopidfile",
        "r");
    ASSERT_NE(daemon, nullptr);
    char line[512] = {};
    if (std::fgets(line, sizeof line, daemon) != nullptr) {
      address = line;
      address.erase(address.find_last_not_of('\n') + 1);
      if (std::fgets(line, sizeof line, daemon) != nullptr) {
        daemonPid = std::atoi(line);
      }
    }
    ::pclose(daemon);
    ASSERT_FALSE(address.empty());
    ASSERT_GT(daemonPid, 0);
    std::filesystem::create_directories(root / "data/applications");
    std::ofstream(root / "data/applications/org.example.Mail.desktop")
        << "[Desktop Entry]\nType=Application\nName=Mail\nExec=mail\n";
    mailURL = Url::fileURL((root / "data/applications/org.example.Mail.desktop").string());
    std::filesystem::create_directories(root / "data/applications/example");
    std::ofstream(root / "data/applications/example/Chat.desktop")
        << "[Desktop Entry]\nType=Application\nName=Chat\nExec=chat\n";
    chatURL =
        Url::fileURL((root / "data/applications/example/Chat.desktop").string()).absoluteString();
  }

  void TearDown() override {
    if (daemonPid > 0) {
      ::kill(daemonPid, SIGTERM);
    }
    TemporaryHome::TearDown();
  }

  // Emits an Update signal from a client of its own, with arguments in GVariant text form.
  void send(const std::string& arguments) {
    const std::string command =
        "DBUS_SESSION_BUS_ADDRESS='" + address +
        "' gdbus emit --session --object-path /com/canonical/unity/launcherentry/1 --signal "
        "com.canonical.Unity.LauncherEntry.Update " +
        arguments;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  void send(const std::string& application, const std::string& properties) {
    send("\"'" + application + "'\" \"" + properties + "\"");
  }
  bool nameHasOwner() {
    return firstLine("DBUS_SESSION_BUS_ADDRESS='" + address +
                     "' gdbus call --session --dest org.freedesktop.DBus --object-path "
                     "/org/freedesktop/DBus "
                     "--method org.freedesktop.DBus.NameHasOwner com.canonical.Unity") == "(true,)";
  }

  // The tiles of the tree, as status label by URL.
  static std::map<std::string, std::string> tiles(LauncherEntryBadges& badges) {
    std::map<std::string, std::string> result;
    auto children = [&](const AXElement& element) {
      auto value = badges.attribute(element, AX::children);
      return value ? std::get<std::vector<AXElement>>(*value) : std::vector<AXElement>{};
    };
    const auto lists = children(badges.applicationElement(LauncherEntryBadges::dockPid));
    if (lists.size() != 1) {
      ADD_FAILURE() << "the application holds " << lists.size() << " lists";
      return result;
    }
    for (const AXElement& tile : children(lists.front())) {
      auto url = badges.attribute(tile, AX::url);
      auto label = badges.attribute(tile, AX::statusLabel);
      if (url && label) {
        result[std::get<Url>(*url).absoluteString()] = std::get<std::string>(*label);
      }
    }
    return result;
  }

  std::string address;
  int daemonPid = 0;
  Url mailURL;
  std::string chatURL;
  FakeSystemLog log;
};

TEST_F(LauncherEntryBadgesTest, OwnsTheBusNameWhileItLives) {
  {
    LauncherEntryBadges badges(log, address);
    EXPECT_TRUE(badges.ownsBusName());
    EXPECT_TRUE(nameHasOwner());
  }
  EXPECT_TRUE(eventually([&] { return !nameHasOwner(); }));
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(LauncherEntryBadgesTest, MergesUpdatesAndIgnoresMalformedOnes) {
  LauncherEntryBadges badges(log, address);
  const std::string mail = mailURL.absoluteString();
  send("application://org.example.Mail.desktop",
       "{'count': <int64 3>, 'count-visible': <true>, 'progress': <0.5>}");
  ASSERT_TRUE(eventually([&] { return tiles(badges)[mail] == "3"; }));

  // Wrong types, a missing scheme, arguments of another shape, an application that is not
  // installed; then a valid update, seen last since one client's signals keep their order. The
  // entry in a subfolder has the folder in its id.
  send("application://org.example.Mail.desktop", "{'count': <'7'>, 'count-visible': <'false'>}");
  send("org.example.Mail.desktop", "{'count': <int64 8>}");
  send("5 \"'application://org.example.Mail.desktop'\"");
  send("application://org.example.Missing.desktop", "{'count': <int64 1>}");
  send("application://example-Chat.desktop", "{'count': <int64 12>, 'count-visible': <true>}");
  ASSERT_TRUE(eventually([&] { return tiles(badges).size() == 2; }));
  EXPECT_EQ(tiles(badges), (std::map<std::string, std::string>{{mail, "3"}, {chatURL, "12"}}));

  // A change of visibility alone keeps the count for later.
  send("application://org.example.Mail.desktop", "{'count-visible': <false>}");
  ASSERT_TRUE(eventually([&] { return tiles(badges)[mail].empty(); }));
  send("application://org.example.Mail.desktop", "{'count-visible': <true>}");
  EXPECT_TRUE(eventually([&] { return tiles(badges)[mail] == "3"; }));
}

TEST_F(LauncherEntryBadgesTest, BadgeServiceReadsThemThroughTheDockWorkspace) {
  LauncherEntryBadges badges(log, address);
  FakeWorkspace workspace;
  workspace.addApplication(10, "org.example.Mail", "Mail");
  WithBadgeDock dockWorkspace(workspace, badges);
  DesktopEntryApplicationIdentity identity;
  FakeScheduler scheduler;
  BadgeService service(dockWorkspace, badges, identity, scheduler);

  send("application://org.example.Mail.desktop", "{'count': <int64 3>, 'count-visible': <true>}");
  ASSERT_TRUE(eventually([&] { return !tiles(badges).empty(); }));
  service.start();
  EXPECT_EQ(service.badges(), (BadgeService::Badges{{"org.example.Mail", "3"}}));
  EXPECT_EQ(dockWorkspace.runningApplications().back(), badges.dockApplication());
  EXPECT_FALSE(dockWorkspace.terminate(LauncherEntryBadges::dockPid));
  EXPECT_TRUE(workspace.requests.empty());

  send("application://org.example.Mail.desktop", "{'count': <int64 0>}");
  ASSERT_TRUE(
      eventually([&] { return tiles(badges).empty() || tiles(badges).begin()->second.empty(); }));
  scheduler.advance(2);
  EXPECT_TRUE(service.badges().empty());
}

TEST_F(LauncherEntryBadgesTest, WithoutABusTheTreeIsEmptyAndSaidOnce) {
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  LauncherEntryBadges noBus(log);
  EXPECT_FALSE(noBus.ownsBusName());
  EXPECT_TRUE(tiles(noBus).empty());
  EXPECT_TRUE(tiles(noBus).empty());
  EXPECT_EQ(log.messagesIn("badges").size(), 1u);

  FakeSystemLog lostLog;
  LauncherEntryBadges badges(lostLog, address);
  send("application://org.example.Mail.desktop", "{'count': <int64 3>, 'count-visible': <true>}");
  ASSERT_TRUE(eventually([&] { return !tiles(badges).empty(); }));
  ::kill(daemonPid, SIGTERM);
  daemonPid = 0;
  EXPECT_TRUE(eventually([&] { return !badges.ownsBusName(); }));
  EXPECT_TRUE(tiles(badges).empty());
  EXPECT_TRUE(tiles(badges).empty());
  EXPECT_EQ(lostLog.messagesIn("badges").size(), 1u);
}

}  // namespace
}  // namespace quayline
