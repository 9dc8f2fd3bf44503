#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "fakes/FakeSystemLog.h"
#include "platform/linux/LinuxPrivacyPermissions.h"
#include "platform/linux/x11/XConnection.h"
#include "support/Processes.h"
#include "support/X11Environment.h"
#include "support/XServer.h"

namespace quayline::x11test {
namespace {

namespace fs = std::filesystem;
using P = SystemPermission;

fs::path logs() {
  return X11Environment::instance().root() / "logs";
}

// The permissions as a connection to `display` finds them.
PermissionCheck checkOn(const std::string& display) {
  FakeSystemLog log;
  auto connection = x11::XConnection::open(log, display.c_str());
  if (!connection) {
    ADD_FAILURE() << "no connection to " << display;
    return {};
  }
  LinuxPrivacyPermissions permissions(*connection,
                                      {X11Environment::instance().root() / "data" / "Trash"});
  return permissions.check();
}

// An authority file with one cookie for every display of this host (family "wild", no display
// number), since the server's number is known only once it runs.
void writeWildCookie(const fs::path& file, const std::string& cookie) {
  std::ofstream out(file, std::ios::binary);
  const auto field = [&](std::string_view bytes) {
    out.put(static_cast<char>(bytes.size() >> 8)).put(static_cast<char>(bytes.size() & 0xff));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  };
  out.put('\xff').put('\xff');  // FamilyWild
  field("");
  field("");
  field("MIT-MAGIC-COOKIE-1");
  field(cookie);
}

bool shell(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

TEST(LinuxPrivacyPermissions, AnOrdinaryDesktopGrantsEverything) {
  const PermissionCheck check = checkOn(X11Environment::instance().server()->display());
  EXPECT_EQ(check.granted, (std::set<P>{P::accessibility, P::screenRecording, P::fullDiskAccess,
                                        P::finderAutomation}));
  EXPECT_TRUE(check.reasons.empty());
}

TEST(LinuxPrivacyPermissions, AccessibilityNeedsAWindowManagerThatStillRuns) {
  auto server = XServer::start(logs(), XServer::WindowManager::none);
  ASSERT_NE(server, nullptr);
  PermissionCheck check = checkOn(server->display());
  EXPECT_FALSE(check.contains(P::accessibility));
  EXPECT_EQ(check.reasons[P::accessibility],
            "No window manager is running. Start one and this turns on by itself.");
  EXPECT_TRUE(check.contains(P::screenRecording));

  pid_t manager = -1;
  {
    ScopedDisplay display(server->display());
    manager = spawnProcess("openbox", {}, (logs() / "permissions-openbox.log").string());
  }
  ASSERT_GT(manager, 0);
  ASSERT_TRUE(waitUntil([&] { return windowManagerRuns(server->display()); }));
  EXPECT_TRUE(checkOn(server->display()).contains(P::accessibility));

  // Killed, the manager leaves the root naming its check window, which is gone.
  ::kill(manager, SIGKILL);
  stopProcess(manager);
  ASSERT_TRUE(windowManagerRuns(server->display()));  // its root properties stay behind
  check = checkOn(server->display());
  EXPECT_FALSE(check.contains(P::accessibility));
  EXPECT_EQ(check.reasons.count(P::accessibility), 1u);
}

TEST(LinuxPrivacyPermissions, AnUntrustedClientHasNeitherAccessibilityNorTheScreen) {
  if (!shell("command -v xauth >/dev/null 2>&1")) {
    GTEST_SKIP() << "xauth is not installed";
  }
  // A server that admits only cookie holders: the test's own cookie first, then an untrusted one
  // generated through the SECURITY extension.
  const fs::path trusted = logs() / "trusted.xauth";
  const fs::path untrusted = logs() / "untrusted.xauth";
  writeWildCookie(trusted, "quayline-test-16");
  ScopedVariable authority("XAUTHORITY", trusted.string());
  auto server = XServer::start(logs(), XServer::WindowManager::none, trusted);
  ASSERT_NE(server, nullptr);
  pid_t manager = -1;
  {
    ScopedDisplay display(server->display());
    manager = spawnProcess("openbox", {}, (logs() / "untrusted-openbox.log").string());
  }
  ASSERT_TRUE(waitUntil([&] { return windowManagerRuns(server->display()); }));
  EXPECT_TRUE(checkOn(server->display()).contains(P::accessibility));

  if (!shell("xauth -q -f " + untrusted.string() + " generate " + server->display() +
             " . untrusted timeout 600 2>/dev/null")) {
    stopProcess(manager);
    GTEST_SKIP() << "this X server cannot generate an untrusted cookie";
  }
  PermissionCheck check;
  {
    ScopedVariable only("XAUTHORITY", untrusted.string());
    check = checkOn(server->display());
  }
  EXPECT_FALSE(check.contains(P::accessibility));
  EXPECT_FALSE(check.contains(P::screenRecording));
  EXPECT_NE(check.reasons[P::accessibility].find("untrusted"), std::string::npos);
  EXPECT_EQ(check.reasons[P::screenRecording], check.reasons[P::accessibility]);
  EXPECT_TRUE(check.contains(P::fullDiskAccess));
  stopProcess(manager);
}

}  // namespace
}  // namespace quayline::x11test
