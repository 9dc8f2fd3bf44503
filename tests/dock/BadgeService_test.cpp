#include "dock/BadgeService.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeWorkspace.h"

namespace quayline {
namespace {

// Application paths by their bundle identifiers; records every lookup.
class FakeApplicationIdentity final : public ApplicationIdentity {
 public:
  std::optional<std::string> bundleIdentifier(const Url& applicationURL) override {
    lookups.push_back(applicationURL.path());
    const auto found = identifiers.find(applicationURL.path());
    if (found == identifiers.end()) {
      return std::nullopt;
    }
    return found->second;
  }
  std::map<std::string, std::string> identifiers;
  std::vector<std::string> lookups;
};

constexpr ProcessId dockPid = 40;

class BadgeServiceTest : public testing::Test {
 protected:
  BadgeServiceTest() {
    workspace.addApplication(7, "org.example.Other", "Other");
    workspace.addApplication(dockPid, "com.apple.dock", "Dock");
    identity.identifiers["/apps/Mail.app"] = "com.example.Mail";
    identity.identifiers["/apps/Chat.app"] = "com.example.Chat";
    changes = service.observeBadges([this] { ++published; });
  }

  FakeAccessibility::NodePtr tile(std::optional<std::string> label, std::optional<Url> url) {
    auto node = std::make_shared<FakeAccessibility::Node>();
    if (label) {
      node->attributes.emplace(AX::statusLabel, *label);
    }
    if (url) {
      node->attributes.emplace(AX::url, *url);
    }
    return node;
  }
  static FakeAccessibility::NodePtr container(std::vector<AXElement> children) {
    auto node = std::make_shared<FakeAccessibility::Node>();
    node->attributes.emplace(AX::children, std::move(children));
    return node;
  }
  // The system dock's usual shape: application → one list → tiles.
  void showTiles(std::vector<AXElement> tiles) {
    accessibility.application(dockPid)->attributes.insert_or_assign(
        std::string(AX::children), std::vector<AXElement>{container(std::move(tiles))});
  }

  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeApplicationIdentity identity;
  FakeScheduler scheduler;
  BadgeService service{workspace, accessibility, identity, scheduler};
  int published = 0;
  Subscription changes;
};

TEST_F(BadgeServiceTest, ReadsLabelsOfApplicationTilesAndDropsThemAtTheNextPoll) {
  auto mail = tile("3", Url::fileURL("/apps/Mail.app", true));
  showTiles({mail, tile("", Url::fileURL("/apps/Chat.app", true)),
             tile("9", Url::fileURL("/home/me/Downloads", true)),  // a folder: no identifier
             tile("5", std::nullopt), tile(std::nullopt, Url::fileURL("/apps/Chat.app"))});
  service.start();
  EXPECT_EQ(service.badges(), (BadgeService::Badges{{"com.example.Mail", "3"}}));
  EXPECT_EQ(service.badge("com.example.Mail"), "3");
  EXPECT_EQ(service.badge("com.example.Chat"), std::nullopt);

  mail->attributes.insert_or_assign(std::string(AX::statusLabel), std::string());
  scheduler.advance(1.9);
  EXPECT_EQ(service.badge("com.example.Mail"), "3");
  scheduler.advance(0.1);
  EXPECT_EQ(service.badge("com.example.Mail"), std::nullopt);
  EXPECT_EQ(published, 2);
}

TEST_F(BadgeServiceTest, LaterTileOfTheSameApplicationWinsAndOtherTypesAreSkipped) {
  auto wrongType = tile(std::nullopt, Url::fileURL("/apps/Chat.app"));
  wrongType->attributes.emplace(AX::statusLabel, std::int64_t{4});
  auto webURL = tile("2", Url::parse("https://example.com/Mail.app"));
  showTiles({tile("1", Url::fileURL("/apps/Mail.app")), wrongType, webURL,
             tile("7", Url::fileURL("/apps/Mail.app"))});
  service.start();
  EXPECT_EQ(service.badges(), (BadgeService::Badges{{"com.example.Mail", "7"}}));
}

TEST_F(BadgeServiceTest, DescendsOnlyThroughSingleChildContainersAtMostFourTimes) {
  const auto mail = tile("3", Url::fileURL("/apps/Mail.app"));
  const auto chat = tile("1", Url::fileURL("/apps/Chat.app"));
  auto& top = accessibility.application(dockPid)->attributes[std::string(AX::children)];
  struct Row {
    std::string shape;
    AXValue children;
    BadgeService::Badges expected;
  };
  const BadgeService::Badges both{{"com.example.Mail", "3"}, {"com.example.Chat", "1"}};
  const std::vector<Row> rows{
      {"one list of tiles", std::vector<AXElement>{container({mail, chat})}, both},
      // Two top-level children are the tiles themselves; their own children are not read.
      {"two top-level tiles",
       std::vector<AXElement>{mail, container({chat, chat})},
       {{"com.example.Mail", "3"}}},
      {"four wrappers",
       std::vector<AXElement>{container({container({container({container({mail, chat})})})})},
       both},
      {"five wrappers",
       std::vector<AXElement>{
           container({container({container({container({container({mail, chat})})})})})},
       {}},
      {"children not a list", AXValue(std::string("tiles")), {}},
  };
  for (const auto& row : rows) {
    top = row.children;
    scheduler.advance(2);  // the first row's poll is a tick without a start: nothing happens
    service.start();
    EXPECT_EQ(service.badges(), row.expected) << row.shape;
  }
}

TEST_F(BadgeServiceTest, NoSystemDockMeansNoBadges) {
  showTiles({tile("3", Url::fileURL("/apps/Mail.app")), tile("", std::nullopt)});
  service.start();
  ASSERT_EQ(service.badge("com.example.Mail"), "3");
  std::erase_if(workspace.running, [](const RunningApp& app) { return app.pid == dockPid; });
  scheduler.advance(2);
  EXPECT_TRUE(service.badges().empty());

  workspace.addApplication(dockPid, "com.apple.dock", "Dock");
  accessibility.trusted = false;
  scheduler.advance(2);
  EXPECT_TRUE(service.badges().empty());
}

TEST_F(BadgeServiceTest, PublishesOnlyChangesAndStartsOnce) {
  showTiles({tile("3", Url::fileURL("/apps/Mail.app")), tile("", std::nullopt)});
  service.start();
  service.start();
  EXPECT_EQ(scheduler.pendingTimers(), 1u);
  scheduler.advance(6);
  EXPECT_EQ(published, 1);
}

TEST_F(BadgeServiceTest, CachesResolvedPathsAndRetriesUnresolvedOnes) {
  showTiles({tile("3", Url::fileURL("/apps/Mail.app")), tile("1", Url::fileURL("/apps/New.app"))});
  service.start();
  scheduler.advance(2);
  EXPECT_EQ(identity.lookups,
            (std::vector<std::string>{"/apps/Mail.app", "/apps/New.app", "/apps/New.app"}));

  // An application installed since keeps its identifier even when its bundle can no longer be
  // read: the cache only grows.
  identity.identifiers = {{"/apps/New.app", "com.example.New"}};
  scheduler.advance(2);
  scheduler.advance(2);
  EXPECT_EQ(service.badges(),
            (BadgeService::Badges{{"com.example.Mail", "3"}, {"com.example.New", "1"}}));
  EXPECT_EQ(identity.lookups.size(), 4u);
}

TEST_F(BadgeServiceTest, ABadgeLeftBehindByAnApplicationThatEndedIsCleared) {
  const auto end = [this](ProcessId pid) {
    const auto found = std::find_if(workspace.running.begin(), workspace.running.end(),
                                    [&](const RunningApp& app) { return app.pid == pid; });
    const RunningApp ended = *found;
    workspace.running.erase(found);
    workspace.notify(WorkspaceNotification::Kind::didTerminateApplication, ended);
  };
  workspace.addApplication(8, "com.example.Mail", "Mail");
  workspace.addApplication(9, "com.example.Mail", "Mail");
  const auto mail = tile("3", Url::fileURL("/apps/Mail.app"));
  // Chat sends its count without a window of its own, so it never counts as running.
  showTiles({mail, tile("1", Url::fileURL("/apps/Chat.app"))});
  service.start();

  end(8);  // one of two processes: the application still runs
  EXPECT_EQ(service.badge("com.example.Mail"), "3");
  end(9);  // the sender never cleared its count
  EXPECT_EQ(service.badge("com.example.Mail"), std::nullopt);
  EXPECT_EQ(service.badge("com.example.Chat"), "1");
  scheduler.advance(2);
  EXPECT_EQ(service.badge("com.example.Mail"), std::nullopt);

  // A new count shows again, and so does a count once the application runs again: a sender
  // that starts sends its count anew.
  mail->attributes.insert_or_assign(std::string(AX::statusLabel), std::string("4"));
  scheduler.advance(2);
  EXPECT_EQ(service.badge("com.example.Mail"), "4");
  workspace.addApplication(10, "com.example.Mail", "Mail");
  end(10);
  EXPECT_EQ(service.badge("com.example.Mail"), std::nullopt);
  workspace.addApplication(11, "com.example.Mail", "Mail");
  scheduler.advance(2);
  EXPECT_EQ(service.badge("com.example.Mail"), "4");
}

}  // namespace
}  // namespace quayline
