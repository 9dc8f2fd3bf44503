#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "platform/linux/x11/StartupNotification.h"
#include "support/Desktop.h"
#include "support/Processes.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

using Kind = WorkspaceNotification::Kind;

std::string describe(const std::vector<RunningApp>& apps) {
  std::string text;
  for (const RunningApp& app : apps) {
    text += std::to_string(app.pid) + " " + app.bundleIdentifier.value_or("-") + "\n";
  }
  return text;
}

double now() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

TEST(X11Workspace, GroupsWindowsByProcessAndNamesThemFromTheirDesktopEntries) {
  const InstalledEntry entry("org.quayline.Alpha.desktop",
                             clientEntry("Alpha Editor", "--class alpha,AlphaClass", "AlphaClass"));
  const auto& alphaPath = entry.path();
  Desktop desktop;
  TestClient alpha({"--title", "Alpha", "--class", "alpha,AlphaClass", "--windows", "2"});
  const auto first = desktop.waitForApplication("org.quayline.Alpha", 2);
  ASSERT_TRUE(first);
  TestClient gamma({"--title", "Gamma", "--class", "gamma,Gamma"});
  const auto second = desktop.waitForApplication("Gamma");
  ASSERT_TRUE(second);

  EXPECT_EQ(first->pid, alpha.pid());
  EXPECT_EQ(first->localizedName, "Alpha Editor");
  EXPECT_EQ(first->bundleURL, Url::fileURL(alphaPath.string()));
  EXPECT_EQ(first->activationPolicy, ActivationPolicy::regular);
  EXPECT_FALSE(first->isHidden);
  ASSERT_TRUE(first->launchDate);
  EXPECT_NEAR(*first->launchDate, now(), 10.0);

  // An application without an entry goes by its window class.
  EXPECT_EQ(second->pid, gamma.pid());
  EXPECT_EQ(second->localizedName, "Gamma");
  EXPECT_FALSE(second->bundleURL);
  EXPECT_GE(*second->launchDate, *first->launchDate);

  // Known first, listed first.
  std::vector<std::optional<std::string>> order;
  for (const RunningApp& app : desktop.workspace->runningApplications()) {
    if (app.pid == alpha.pid() || app.pid == gamma.pid()) {
      order.push_back(app.bundleIdentifier);
    }
  }
  EXPECT_EQ(order, (std::vector<std::optional<std::string>>{"org.quayline.Alpha", "Gamma"}));
  EXPECT_EQ(desktop.workspace->urlForApplication("org.quayline.Alpha"),
            Url::fileURL(alphaPath.string()));
  EXPECT_FALSE(desktop.workspace->urlForApplication("Gamma"));
}

TEST(X11Workspace, MatchesTheEntryThatRunsTheClientsProgram) {
  const InstalledEntry entry("org.quayline.Beta.desktop", clientEntry("Beta", "--title Beta"));
  Desktop desktop;
  TestClient client({"--title", "Beta", "--class", "unrelated,Unrelated"});
  const auto app = desktop.waitForApplication("org.quayline.Beta");
  ASSERT_TRUE(app);
  EXPECT_EQ(app->pid, client.pid());
  EXPECT_EQ(app->localizedName, "Beta");
  EXPECT_FALSE(desktop.application("Unrelated"));
}

TEST(X11Workspace, WindowsOfOneProcessMatchingDifferentEntriesAreDifferentApplications) {
  // Both entries run the same program, as an application and its settings entry do.
  const InstalledEntry main("org.quayline.Main.desktop", clientEntry("Main", "%U", "MainClass"));
  const InstalledEntry settings("org.quayline.Main-settings.desktop",
                                clientEntry("Main Settings", "--preferences", "SettingsClass"));
  Desktop desktop;
  TestClient client({"--title", "Split", "--windows", "2", "--class", "main,MainClass",
                     "--later-class", "settings,SettingsClass"});
  const auto first = desktop.waitForApplication("org.quayline.Main");
  const auto second = desktop.waitForApplication("org.quayline.Main-settings");
  ASSERT_TRUE(first && second) << describe(desktop.workspace->runningApplications());
  EXPECT_EQ(first->pid, client.pid());
  EXPECT_NE(second->pid, client.pid());
  EXPECT_GT(second->pid, 1 << 22) << "a pseudo id, like a client without a process";
  ASSERT_TRUE(second->launchDate);
  EXPECT_NEAR(*second->launchDate, *first->launchDate, 1.0) << "the process's own start";

  // The accessibility elements group the windows the same way.
  const auto mainWindows = desktop.windows(first->pid);
  const auto settingsWindows = desktop.windows(second->pid);
  ASSERT_EQ(mainWindows.size(), 1u);
  ASSERT_EQ(settingsWindows.size(), 1u);
  EXPECT_EQ(desktop.read<std::string>(mainWindows[0], AX::title), "Split 1");
  EXPECT_EQ(desktop.read<std::string>(settingsWindows[0], AX::title), "Split 2");
  EXPECT_EQ(
      desktop.read<std::string>(desktop.accessibility->applicationElement(second->pid), AX::title),
      "Main Settings");

  // Quitting one closes only its windows.
  EXPECT_TRUE(desktop.workspace->terminate(second->pid));
  EXPECT_TRUE(waitUntil([&] { return !desktop.application("org.quayline.Main-settings"); }));
  EXPECT_TRUE(client.runs());
  EXPECT_EQ(desktop.application("org.quayline.Main")->pid, client.pid());
}

TEST(X11Workspace, ClientsWithoutAProcessIdAreGroupedByConnection) {
  Desktop desktop;
  TestClient first({"--no-pid", "--class", "anonymous,Anonymous", "--windows", "2"});
  const auto app = desktop.waitForApplication("Anonymous", 2);
  ASSERT_TRUE(app);
  // Above the kernel's largest process id: it can name no real process.
  EXPECT_GT(app->pid, 1 << 22);
  EXPECT_EQ(app->activationPolicy, ActivationPolicy::regular);

  TestClient second({"--no-pid", "--class", "anonymous,Anonymous"});
  ASSERT_TRUE(waitUntil([&] {
    std::size_t count = 0;
    for (const auto& running : desktop.workspace->runningApplications()) {
      count += running.bundleIdentifier == "Anonymous" ? 1 : 0;
    }
    return count == 2;
  }));
  EXPECT_EQ(desktop.windows(app->pid).size(), 2u);

  // Operations reach them through the same id.
  EXPECT_TRUE(desktop.workspace->terminate(app->pid));
  EXPECT_TRUE(waitUntil([&] { return !first.runs(); }));
}

TEST(X11Workspace, OwnWindowsAndDocksAreNotRegularApplications) {
  Desktop desktop;
  TestClient dock({"--type", "dock", "--class", "panel,Panel", "--size", "400x30"});
  ASSERT_TRUE(waitUntil([&] { return desktop.application("Panel").has_value(); }))
      << describe(desktop.workspace->runningApplications());
  EXPECT_EQ(desktop.application("Panel")->activationPolicy, ActivationPolicy::accessory);

  // A window of this very process.
  Probe probe;
  xcb_connection_t* c = probe.connection();
  const xcb_window_t window = xcb_generate_id(c);
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  const std::uint32_t pid = static_cast<std::uint32_t>(::getpid());
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, probe.atom("_NET_WM_PID"),
                      XCB_ATOM_CARDINAL, 32, 1, &pid);
  const char wmClass[] = "quayline\0Quayline";
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      sizeof wmClass, wmClass);
  xcb_map_window(c, window);
  probe.sync();
  ASSERT_TRUE(waitUntil([&] { return desktop.applicationWithPid(::getpid()).has_value(); }));
  EXPECT_EQ(desktop.applicationWithPid(::getpid())->activationPolicy, ActivationPolicy::accessory);
}

TEST(X11Workspace, ReportsLaunchActivationHidingSpacesAndTermination) {
  Desktop desktop;
  TestClient first({"--title", "First", "--class", "first,First"});
  ASSERT_TRUE(desktop.waitForApplication("First"));
  EXPECT_TRUE(desktop.notified(Kind::didLaunchApplication, "First"));
  ASSERT_TRUE(waitUntil([&] { return desktop.notified(Kind::didActivateApplication, "First"); }));

  TestClient second({"--title", "Second", "--class", "second,Second"});
  ASSERT_TRUE(desktop.waitForApplication("Second"));
  ASSERT_TRUE(waitUntil([&] { return desktop.notified(Kind::didActivateApplication, "Second"); }));
  EXPECT_EQ(desktop.workspace->frontmostApplication()->pid, second.pid());

  // Hiding minimizes every window; the next application comes forward.
  desktop.notifications.clear();
  ASSERT_TRUE(desktop.workspace->hide(second.pid()));
  ASSERT_TRUE(waitUntil([&] { return desktop.notified(Kind::didHideApplication, "Second"); }));
  EXPECT_TRUE(desktop.application("Second")->isHidden);

  ASSERT_TRUE(desktop.workspace->unhide(second.pid()));
  ASSERT_TRUE(waitUntil([&] { return desktop.notified(Kind::didUnhideApplication, "Second"); }));
  EXPECT_FALSE(desktop.application("Second")->isHidden);
  ASSERT_TRUE(
      waitUntil([&] { return desktop.workspace->frontmostApplication()->pid == second.pid(); }));

  desktop.notifications.clear();
  ASSERT_TRUE(desktop.workspace->activate(first.pid()));
  ASSERT_TRUE(waitUntil([&] { return desktop.notified(Kind::didActivateApplication, "First"); }));
  EXPECT_EQ(desktop.workspace->frontmostApplication()->pid, first.pid());

  // Another desktop of the window manager.
  Probe probe;
  const auto current = probe.cardinals(probe.root(), "_NET_CURRENT_DESKTOP");
  ASSERT_EQ(current.size(), 1u);
  probe.sendToRoot(probe.root(), "_NET_CURRENT_DESKTOP", {current[0] == 0 ? 1u : 0u, 0, 0, 0, 0});
  ASSERT_TRUE(waitUntil([&] {
    for (const auto& notification : desktop.notifications) {
      if (notification.kind == Kind::activeSpaceDidChange) {
        return !notification.application.has_value();
      }
    }
    return false;
  }));

  // Quitting closes every window; a killed process loses its windows with its connection.
  ASSERT_TRUE(desktop.workspace->terminate(first.pid()));
  ASSERT_TRUE(waitUntil([&] { return desktop.notified(Kind::didTerminateApplication, "First"); }));
  EXPECT_TRUE(waitUntil([&] { return !first.runs(); }));
  ::kill(second.pid(), SIGKILL);
  ASSERT_TRUE(waitUntil([&] { return desktop.notified(Kind::didTerminateApplication, "Second"); }));
  EXPECT_FALSE(desktop.application("Second"));
  EXPECT_EQ(desktop.count(Kind::didTerminateApplication, "Second"), 1u);
}

// Reads the startup messages broadcast on the display.
class StartupListener {
 public:
  StartupListener() {
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(probe_.connection(), probe_.root(), XCB_CW_EVENT_MASK, &mask);
    probe_.sync();
  }
  std::vector<x11::StartupMessage> messages() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(probe_.connection())) {
      if ((event->response_type & ~0x80) == XCB_CLIENT_MESSAGE) {
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        const bool begins = message->type == probe_.atom("_NET_STARTUP_INFO_BEGIN");
        if (begins || message->type == probe_.atom("_NET_STARTUP_INFO")) {
          if (auto text = assembler_.add(message->window, begins, message->data.data8)) {
            if (auto parsed = x11::parseStartupMessage(*text)) {
              received_.push_back(*parsed);
            }
          }
        }
      }
      std::free(event);
    }
    return received_;
  }
  Probe& probe() { return probe_; }

 private:
  Probe probe_;
  x11::StartupMessageAssembler assembler_;
  std::vector<x11::StartupMessage> received_;
};

std::string environmentOf(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/environ");
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST(X11Workspace, OpensApplicationsThroughTheirEntriesAndAnnouncesTheLaunch) {
  const InstalledEntry entry(
      "org.quayline.Launched.desktop",
      clientEntry("Launched", "--title Launched --class launched,Launched", "Launched",
                  /*startupNotify=*/true));
  const auto& path = entry.path();
  Desktop desktop;
  StartupListener listener;
  ASSERT_TRUE(desktop.workspace->openApplication(Url::fileURL(path.string())));

  ASSERT_TRUE(waitUntil(
      [&] { return desktop.notified(Kind::willLaunchApplication, "org.quayline.Launched"); }));
  const RunningApp announced = *desktop.notifications.front().application;
  EXPECT_GT(announced.pid, 0);
  EXPECT_EQ(announced.bundleURL, Url::fileURL(path.string()));
  EXPECT_FALSE(announced.isFinishedLaunching);

  const auto app = desktop.waitForApplication("org.quayline.Launched");
  ASSERT_TRUE(app);
  EXPECT_EQ(app->pid, announced.pid);
  EXPECT_TRUE(desktop.notified(Kind::didLaunchApplication, "org.quayline.Launched"));

  // The child got the startup id that was announced to the display.
  const std::string environment = environmentOf(app->pid);
  ASSERT_TRUE(waitUntil([&] {
    for (const auto& message : listener.messages()) {
      if (message.type == "new" && message.field("APPLICATION_ID") == path.string()) {
        return environment.find("DESKTOP_STARTUP_ID=" + *message.field("ID")) != std::string::npos;
      }
    }
    return false;
  }));
  // The launch never reaches a shell, and ours is the only announcement of it.
  EXPECT_EQ(desktop.count(Kind::willLaunchApplication, "org.quayline.Launched"), 1u);
  stopProcess(app->pid);
}

TEST(X11Workspace, StartupMessagesOfOtherLaunchersAnnounceLaunches) {
  const InstalledEntry entry("org.quayline.Other.desktop",
                             clientEntry("Other", "--title Other", "Other"));
  const auto& path = entry.path();
  Desktop desktop;
  Probe probe;
  xcb_connection_t* c = probe.connection();
  const xcb_window_t sender = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, sender, probe.root(), 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  const x11::StartupMessage message{
      "new", {{"ID", "other-launcher-1_TIME0"}, {"NAME", "Other"}, {"APPLICATION_ID", path}}};
  bool first = true;
  for (const auto& chunk : x11::startupMessageChunks(x11::formatStartupMessage(message))) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = sender;
    event.type = probe.atom(first ? "_NET_STARTUP_INFO_BEGIN" : "_NET_STARTUP_INFO");
    std::copy(chunk.begin(), chunk.end(), reinterpret_cast<char*>(event.data.data8));
    xcb_send_event(c, 0, probe.root(), XCB_EVENT_MASK_PROPERTY_CHANGE,
                   reinterpret_cast<const char*>(&event));
    first = false;
  }
  probe.sync();
  ASSERT_TRUE(waitUntil(
      [&] { return desktop.notified(Kind::willLaunchApplication, "org.quayline.Other"); }));
  EXPECT_EQ(desktop.notifications.front().application->localizedName, "Other");
}

}  // namespace
}  // namespace quayline::x11test
