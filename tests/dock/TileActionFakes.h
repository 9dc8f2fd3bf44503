#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dock/AppRecentItems.h"
#include "dock/MenuModel.h"
#include "dock/TileActionServices.h"
#include "fakes/FakeDockServices.h"
#include "fakes/FakeTrash.h"

namespace quayline {

// Recent documents the test sets, with a record of what was asked for and opened.
class RecordingRecentItems final : public AppRecentItemsSource {
 public:
  std::vector<AppRecentItem> recentItems(std::string_view bundleIdentifier,
                                         std::size_t limit) override {
    asked.emplace_back(bundleIdentifier);
    EXPECT_EQ(limit, 10u);
    return items;
  }
  void open(const AppRecentItem& item, std::string_view,
            const std::optional<Url>& applicationURL) override {
    opened.push_back(item.title + " with " + (applicationURL ? applicationURL->path() : "-"));
  }
  std::vector<AppRecentItem> items;
  std::vector<std::string> asked;
  std::vector<std::string> opened;
};

// The dock on fakes and the services tile actions borrow, bound to the store and the registry
// that `start` builds.
struct TileActionFakes : FakeDockServices {
  void start(const std::vector<PinnedItem>& pinned = {}) {
    FakeDockServices::start(pinned);
    services.emplace(TileActionServices{workspace, accessibility, *registry, instances, profiles,
                                        *store, *hidden, preferences, recent, displays, trash,
                                        confirmations});
  }

  // What the accessibility port was asked: "window:attribute=value" for each Boolean written,
  // then "element:action" for each action.
  std::vector<std::string> accessibilityRequests() const {
    std::vector<std::string> lines;
    for (const auto& write : accessibility.writes) {
      lines.push_back(write.element + ":" + write.attribute + "=" +
                      (std::get<bool>(write.value) ? "true" : "false"));
    }
    for (const auto& action : accessibility.actions) {
      lines.push_back(action.element + ":" + action.name);
    }
    return lines;
  }

  RecordingRecentItems recent;
  FakeTrashState trash;
  FakeConfirmations confirmations;
  std::optional<TileActionServices> services;
};

// The entry of a menu, or of one of its submenus, with this title.
inline const MenuEntry& menuEntry(const Menu& menu, std::string_view title) {
  for (const MenuEntry& candidate : menu) {
    if (candidate.title == title) {
      return candidate;
    }
    for (const MenuEntry& child : candidate.children) {
      if (child.title == title) {
        return child;
      }
    }
  }
  throw std::runtime_error("no menu entry " + std::string(title));
}

}  // namespace quayline
