#include "platform/linux/LinuxChromeWindowEvidence.h"

#include <gtest/gtest.h>

#include <fstream>

#include "chrome/SessionWriter.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeFolderWatch.h"
#include "fakes/FakeScheduler.h"
#include "fakes/TemporaryHome.h"
#include "foundation/SerialQueue.h"

namespace quayline {
namespace {

using Kind = WindowLaunchFacts::Event::Kind;
constexpr ProcessId kBrowser = 100;

// Startup ids per window and window events, as the test sets and sends them.
class FakeWindowFacts final : public WindowLaunchFacts {
 public:
  std::string startupId(std::uint32_t window) const override {
    const auto found = startupIds.find(window);
    return found == startupIds.end() ? std::string() : found->second;
  }
  Subscription observeWindows(std::function<void(const Event&)> observer) override {
    return events.connect(std::move(observer));
  }
  void send(Kind kind, std::uint32_t window, std::string startupId = {}) {
    events.emit(Event{kind, window, kBrowser, std::move(startupId)});
  }

  std::map<std::uint32_t, std::string> startupIds;
  Signal<Event> events;
};

// Two profiles of a browser whose session files the test writes; the evidence follows them
// through a fake folder watch and reads them inline.
class ChromeWindowEvidenceTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    support = (root / "chromium").string();
    for (const char* profile : {"Default", "Profile 1"}) {
      std::filesystem::create_directories(sessionsOf(profile));
      folders.watchable.insert(sessionsOf(profile));
      folders.watchable.insert(support + "/" + profile);
    }
    evidence = std::make_unique<LinuxChromeWindowEvidence>(
        LinuxChromeWindowEvidence::Services{scheduler, queue, folders, accessibility, facts},
        ChromeInstallation{support, "Chromium"});
    changes = evidence->observe([this] { ++changed; });
    write("Default", SessionWriter().tab(1, 10, 0, u"Inbox").selected(1, 0).active(1));
    write("Profile 1", SessionWriter().tab(7, 70, 0, u"Docs").selected(7, 0).active(7));
    evidence->setProfiles({"Default", "Profile 1"});
    scheduler.runPosted();
    // Activations right after the start are not followed: earlier records may still land.
    scheduler.advance(LinuxChromeWindowEvidence::settleTime);
  }

  std::string sessionsOf(const std::string& profile) const {
    return support + "/" + profile + "/Sessions";
  }
  // Writes a profile's session file and tells the watch, as the browser's save would.
  void write(const std::string& profile, const SessionWriter& session,
             const std::string& name = "Session_13300000000000000") {
    std::ofstream(sessionsOf(profile) + "/" + name, std::ios::binary) << session.bytes();
    folders.change(sessionsOf(profile), name);
    scheduler.advance(ChromeSessionFollower::readDelay);
  }
  AppWindow window(std::uint32_t number, std::string title) {
    auto node = std::make_shared<FakeAccessibility::Node>();
    node->windowNumber = number;
    AppWindow result;
    result.pid = kBrowser;
    result.title = std::move(title);
    result.element = node;
    return result;
  }
  std::optional<std::string> profileOf(std::uint32_t number, std::string title = "Untitled") {
    return evidence->profileDirectory(window(number, std::move(title)));
  }

  FakeScheduler scheduler;
  InlineSerialQueue queue{"sessions"};
  FakeFolderWatch folders;
  FakeAccessibility accessibility;
  FakeWindowFacts facts;
  std::string support;
  std::unique_ptr<LinuxChromeWindowEvidence> evidence;
  Subscription changes;
  int changed = 0;
};

TEST_F(ChromeWindowEvidenceTest, AWindowOpenedForAProfileKeepsItsStartupId) {
  {
    const Subscription opening = evidence->opening("Profile 1");
    facts.send(Kind::launched, 0, "quayline-1-1_TIME5");
  }
  facts.send(Kind::launched, 0, "quayline-1-2_TIME6");  // a launch for no profile
  facts.startupIds = {{40, "quayline-1-1_TIME5"}, {41, "quayline-1-2_TIME6"}, {42, "other"}};
  EXPECT_EQ(profileOf(40, "Inbox - Chromium"), "Profile 1");  // stronger than the title
  EXPECT_EQ(profileOf(41), std::nullopt);
  EXPECT_EQ(profileOf(42), std::nullopt);
}

TEST_F(ChromeWindowEvidenceTest, TitlesNameAProfileOnlyWhenOneFits) {
  EXPECT_EQ(profileOf(3, "Docs - Chromium"), "Profile 1");
  EXPECT_EQ(profileOf(3, "Inbox - Chromium"), "Default");
  EXPECT_EQ(profileOf(3, "News - Chromium"), std::nullopt);

  // A write that only adds records moves no window; one that changes a title may.
  changed = 0;
  write("Default", SessionWriter().tab(1, 10, 0, u"Inbox").selected(1, 0).active(1).active(1));
  EXPECT_EQ(changed, 0);
  write("Profile 1", SessionWriter().tab(7, 70, 0, u"Inbox").selected(7, 0));
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(profileOf(3, "Inbox - Chromium"), std::nullopt);  // both profiles show it

  // A newer, encrypted file says nothing: the old one no longer describes the windows.
  write("Default", SessionWriter(2).tab(1, 10, 0, u"Mail").selected(1, 0),
        "Session_13300000000000001");
  EXPECT_EQ(profileOf(3, "Inbox - Chromium"), "Profile 1");
  EXPECT_EQ(profileOf(3, "Mail - Chromium"), std::nullopt);
}

TEST_F(ChromeWindowEvidenceTest, AnActivationFollowedByOneProfilesRecord) {
  profileOf(5);  // the registry asks of the browser's windows before they are activated
  facts.send(Kind::activated, 5);
  changed = 0;
  write("Profile 1", SessionWriter().tab(7, 70, 0, u"Docs").selected(7, 0).active(7).active(8));
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(profileOf(5), "Profile 1");
  // Its title naming another profile contradicts the record: neither counts.
  EXPECT_EQ(profileOf(5, "Inbox - Chromium"), std::nullopt);

  // The window goes, and its number with it.
  facts.send(Kind::destroyed, 5);
  EXPECT_EQ(profileOf(5), std::nullopt);
}

TEST_F(ChromeWindowEvidenceTest, ActivationsThatCannotBeToldApartNameNothing) {
  profileOf(5);
  // Two windows activated before either record lands.
  facts.send(Kind::activated, 5);
  scheduler.advance(1);
  facts.send(Kind::activated, 6);
  write("Profile 1", SessionWriter().tab(7, 70, 0, u"Docs").selected(7, 0).active(7).active(8));
  write("Default", SessionWriter().tab(1, 10, 0, u"Inbox").selected(1, 0).active(1).active(2));
  EXPECT_EQ(profileOf(5), std::nullopt);
  EXPECT_EQ(profileOf(6), std::nullopt);

  // Records of both profiles after one activation.
  scheduler.advance(LinuxChromeWindowEvidence::settleTime);
  facts.send(Kind::activated, 6);
  const auto both = [](std::int32_t extra) {
    return SessionWriter().tab(1, 10, 0, u"Inbox").selected(1, 0).active(1).active(2).active(extra);
  };
  std::ofstream(sessionsOf("Default") + "/Session_13300000000000000", std::ios::binary)
      << both(3).bytes();
  std::ofstream(sessionsOf("Profile 1") + "/Session_13300000000000000", std::ios::binary)
      << SessionWriter()
             .tab(7, 70, 0, u"Docs")
             .selected(7, 0)
             .active(7)
             .active(8)
             .active(9)
             .bytes();
  folders.change(sessionsOf("Default"), "Session_13300000000000000");
  folders.change(sessionsOf("Profile 1"), "Session_13300000000000000");
  scheduler.advance(ChromeSessionFollower::readDelay);
  EXPECT_EQ(profileOf(6), std::nullopt);

  // A record that comes too late, or in a file started afresh, belongs to no activation seen.
  scheduler.advance(LinuxChromeWindowEvidence::settleTime);
  facts.send(Kind::activated, 6);
  write("Profile 1", SessionWriter().tab(7, 70, 0, u"Docs").selected(7, 0).active(7),
        "Session_13300000000000009");
  EXPECT_EQ(profileOf(6), std::nullopt);
}

}  // namespace
}  // namespace quayline
