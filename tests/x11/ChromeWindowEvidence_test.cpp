// A window the dock asked the browser for, told by the startup id of that launch: through GIO,
// the workspace's launch and the _NET_STARTUP_ID the new window carries.
#include <gtest/gtest.h>

#include "fakes/FakeFolderWatch.h"
#include "foundation/SerialQueue.h"
#include "platform/linux/LinuxChromeWindowEvidence.h"
#include "support/Desktop.h"
#include "support/Processes.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

TEST(ChromeWindowEvidence, AWindowOpenedForAProfileCarriesItsLaunchsStartupId) {
  // The entry does not ask for startup notification; a launch with arguments gets an id anyway.
  const InstalledEntry entry(
      "org.quayline.Browser.desktop",
      clientEntry("Browser", "--title 'Page - Chromium' --class browser,Browser"));
  Desktop desktop;
  FakeFolderWatch folders;
  InlineSerialQueue queue("quayline.chrome-profiles");
  LinuxChromeWindowEvidence evidence(
      {desktop.scheduler, queue, folders, *desktop.accessibility, *desktop.workspace},
      {(X11Environment::instance().root() / "config" / "chromium").string(), "Chromium"});
  {
    const Subscription opening = evidence.opening("Profile 1");
    ASSERT_TRUE(desktop.workspace->openApplication(Url::fileURL(entry.path().string()),
                                                   {"--profile-directory=Profile 1"}));
  }
  const auto app = desktop.waitForApplication("org.quayline.Browser");
  ASSERT_TRUE(app);
  const auto elements = desktop.windows(app->pid);
  ASSERT_EQ(elements.size(), 1u);
  AppWindow window;
  window.pid = app->pid;
  window.title = "Page - Chromium";
  window.element = elements.front();
  EXPECT_EQ(evidence.profileDirectory(window), "Profile 1");

  // Launched without the dock asking for a profile, the same kind of window names none.
  ASSERT_TRUE(desktop.workspace->openApplication(Url::fileURL(entry.path().string()),
                                                 {"--profile-directory=Profile 2"}));
  std::optional<RunningApp> other;
  ASSERT_TRUE(waitUntil([&] {
    for (const auto& running : desktop.workspace->runningApplications()) {
      if (running.pid != app->pid && running.bundleIdentifier == "org.quayline.Browser" &&
          desktop.windows(running.pid).size() == 1) {
        other = running;
      }
    }
    return other.has_value();
  }));
  window.pid = other->pid;
  window.element = desktop.windows(other->pid).front();
  EXPECT_EQ(evidence.profileDirectory(window), std::nullopt);
  stopProcess(app->pid);
  stopProcess(other->pid);
}

}  // namespace
}  // namespace quayline::x11test
