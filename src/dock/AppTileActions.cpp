#include "dock/AppTileActions.h"

#include <algorithm>
#include <string_view>

#include "app/Preferences.h"
#include "chrome/ChromeInstance.h"
#include "chrome/ChromeProfiles.h"
#include "dock/DisplayScope.h"
#include "dock/TileMenu.h"
#include "model/HiddenApps.h"
#include "model/TileStore.h"
#include "platform/Accessibility.h"
#include "windows/WindowRegistry.h"

namespace quayline {

namespace {

constexpr std::string_view kSystemTilePrefix = "system:";
constexpr std::size_t kRecentItemLimit = 10;

bool allMinimized(const std::vector<AppWindow>& windows) {
  return std::all_of(windows.begin(), windows.end(),
                     [](const AppWindow& window) { return window.isMinimized; });
}

}  // namespace

std::optional<RunningApp> runningApp(Workspace& workspace, ProcessId pid) {
  for (RunningApp& app : workspace.runningApplications()) {
    if (app.pid == pid) {
      return std::move(app);
    }
  }
  return std::nullopt;
}

void raiseWindow(TileActionServices& services, const AppWindow& window) {
  if (window.isMinimized) {
    services.accessibility.setAttribute(window.element, AX::minimized, AXValue{false});
  }
  services.accessibility.performAction(window.element, AX::raise);
  if (runningApp(services.workspace, window.pid)) {
    services.workspace.activate(window.pid);
  }
}

AppTileActions::AppTileActions(TileActionServices& services, Tile tile,
                               std::optional<DisplayNumber> display)
    : services_(services), tile_(std::move(tile)), display_(display) {}

bool AppTileActions::isSystemTile() const {
  return tile_.id.starts_with(kSystemTilePrefix);
}

std::vector<RunningApp> AppTileActions::targetApps() const {
  if (app().processIdentifier) {
    auto app = runningApp(services_.workspace, *this->app().processIdentifier);
    return app ? std::vector<RunningApp>{std::move(*app)} : std::vector<RunningApp>{};
  }
  if (app().bundleIdentifier == kChromeBundleIdentifier) {
    const auto main = services_.chromeInstances.mainBrowserProcessIdentifier();
    auto app = main ? runningApp(services_.workspace, *main) : std::nullopt;
    return app ? std::vector<RunningApp>{std::move(*app)} : std::vector<RunningApp>{};
  }
  std::vector<RunningApp> targets = services_.workspace.runningApplications();
  std::erase_if(targets, [&](const RunningApp& running) {
    return running.bundleIdentifier != app().bundleIdentifier;
  });
  return targets;
}

std::vector<AppWindow> AppTileActions::windows() const {
  if (app().bundleIdentifier == kChromeBundleIdentifier) {
    return services_.chromeProfiles.unattributedWindows();
  }
  std::vector<AppWindow> windows = services_.registry.windows(app().bundleIdentifier);
  if (const auto pid = app().processIdentifier) {
    std::erase_if(windows, [&](const AppWindow& window) { return window.pid != *pid; });
  }
  return windows;
}

void AppTileActions::raise(const AppWindow& window) const {
  raiseWindow(services_, window);
}

std::vector<AppWindow> AppTileActions::displayWindows(const std::vector<AppWindow>& windows) const {
  if (!display_) {
    return windows;
  }
  return DisplayScope::windows(windows, *display_, DisplayBounds::current(services_.displays));
}

void AppTileActions::activate() const {
  const std::vector<RunningApp> targets = targetApps();
  const std::vector<AppWindow> windows = this->windows();
  if (applyFrontmostBehavior(targets, windows)) {
    return;
  }

  if (display_) {
    const std::vector<AppWindow> local = displayWindows(windows);
    if (!local.empty()) {
      const auto shown = std::find_if(local.begin(), local.end(),
                                      [](const AppWindow& window) { return !window.isMinimized; });
      raise(shown != local.end() ? *shown : local.front());
      if (!targets.empty()) {
        services_.workspace.activate(targets.front().pid);
      }
      return;
    }
  }
  if (!targets.empty() && !windows.empty()) {
    if (allMinimized(windows)) {
      raise(windows.front());
    }
    services_.workspace.activate(targets.front().pid);
    return;
  }
  if (!targets.empty() && app().processIdentifier) {
    services_.workspace.activate(targets.front().pid);
    return;
  }
  // Nothing runs, or it runs without a window we know of: opening it again lets it show one.
  if (const auto url = applicationURL()) {
    services_.workspace.openApplication(*url);
  }
}

bool AppTileActions::applyFrontmostBehavior(const std::vector<RunningApp>& targets,
                                            const std::vector<AppWindow>& windows) const {
  const FrontmostClickBehavior behavior = services_.preferences.frontmostClickBehavior();
  if (behavior == FrontmostClickBehavior::doesNothing || targets.empty()) {
    return false;
  }
  const auto frontmost = services_.workspace.frontmostApplication();
  const bool isFrontmost =
      frontmost && std::any_of(targets.begin(), targets.end(), [&](const RunningApp& target) {
        return target.pid == frontmost->pid;
      });
  std::vector<AppWindow> shown = displayWindows(windows);
  std::erase_if(shown, [](const AppWindow& window) { return window.isMinimized; });
  // With every window minimized the click should bring one back, as it always does.
  if (!isFrontmost || shown.empty()) {
    return false;
  }
  switch (behavior) {
    case FrontmostClickBehavior::hidesApp:
      for (const RunningApp& target : targets) {
        services_.workspace.hide(target.pid);
      }
      return true;
    case FrontmostClickBehavior::switchesWindows: {
      const auto main = std::find_if(shown.begin(), shown.end(),
                                     [](const AppWindow& window) { return window.isMain; });
      const std::size_t next =
          main == shown.end() ? 0
                              : (static_cast<std::size_t>(main - shown.begin()) + 1) % shown.size();
      raise(shown[next]);
      return true;
    }
    case FrontmostClickBehavior::minimizesAllWindows:
      for (const AppWindow& window : windows) {
        if (!window.isMinimized) {
          services_.accessibility.setAttribute(window.element, AX::minimized, AXValue{true});
        }
      }
      return true;
    case FrontmostClickBehavior::doesNothing:
      break;
  }
  return false;
}

std::optional<Url> AppTileActions::applicationURL() const {
  if (app().url) {
    return app().url;
  }
  return services_.workspace.urlForApplication(app().bundleIdentifier);
}

void AppTileActions::openRecent(const AppRecentItem& item) const {
  services_.recentItems.open(item, app().bundleIdentifier, applicationURL());
}

void AppTileActions::showAllWindows(const std::vector<AppWindow>& windows) const {
  const std::vector<RunningApp> targets = targetApps();
  if (!targets.empty()) {
    services_.workspace.unhide(targets.front().pid);
  }
  for (const AppWindow& window : windows) {
    raise(window);
  }
}

void AppTileActions::toggleHidden() const {
  const std::vector<RunningApp> targets = targetApps();
  const bool wasHidden = !targets.empty() && targets.front().isHidden;
  for (const RunningApp& target : targets) {
    if (wasHidden) {
      services_.workspace.unhide(target.pid);
    } else {
      services_.workspace.hide(target.pid);
    }
  }
}

Menu AppTileActions::contextMenuItems(bool running) const {
  // Actions hold copies of what they need, so a menu outlives the row that built it.
  const AppTileActions self = *this;

  Menu recent;
  if (running) {
    for (const AppRecentItem& item :
         services_.recentItems.recentItems(app().bundleIdentifier, kRecentItemLimit)) {
      recent.push_back(MenuEntry::button(item.title, [self, item] { self.openRecent(item); }));
    }
  }

  const std::vector<AppWindow> windows = this->windows();
  Menu windowItems;
  for (const AppWindow& window : windows) {
    windowItems.push_back(
        MenuEntry::button(TileMenu::title(window), [self, window] { self.raise(window); }));
  }

  Menu options;
  if (!isSystemTile()) {
    TileStore& store = services_.store;
    TileOptionsMenu menu;
    menu.finderURL = app().url;
    if (store.isPinned(app().bundleIdentifier)) {
      menu.items.push_back(
          {"Remove from Dock", [&store, tile = tile_] { removeFromDock(store, tile); }});
    } else {
      PinnedApp pinned{app().bundleIdentifier, {}};
      if (app().url && app().url->isFileURL()) {
        pinned.path = app().url->path();
      }
      menu.items.push_back({"Keep in Dock", [&store, pinned] {
                              store.pin(PinnedItem{pinned}, TileSection::pinned);
                            }});
    }
    if (tile_.section == TileSection::running) {
      menu.items.push_back(
          {"Hide from Dock", [&hidden = services_.hiddenApps, bundle = app().bundleIdentifier] {
             hidden.hide(bundle);
           }});
    }
    options.push_back(menu.entry(services_.workspace));
  }

  Menu actions;
  if (!running) {
    actions.push_back(MenuEntry::button("Open", [self] { self.activate(); }));
  } else {
    actions.push_back(
        MenuEntry::button("Show All Windows", [self, windows] { self.showAllWindows(windows); }));
    const std::vector<RunningApp> targets = targetApps();
    const bool hidden = !targets.empty() && targets.front().isHidden;
    actions.push_back(MenuEntry::button(hidden ? "Show" : "Hide", [self] { self.toggleHidden(); }));
    if (!isSystemTile()) {
      actions.push_back(MenuEntry::button("Quit", [self] {
        for (const RunningApp& target : self.targetApps()) {
          self.services_.workspace.terminate(target.pid);
        }
      }));
    }
  }
  return joinGroups(
      {std::move(recent), std::move(windowItems), std::move(options), std::move(actions)});
}

void removeFromDock(TileStore& store, const Tile& tile) {
  const auto index = store.storedIndex(tile);
  if (!index) {
    return;
  }
  const TileSection section =
      tile.section == TileSection::trailing ? TileSection::trailing : TileSection::pinned;
  std::vector<PinnedItem> items = store.pins().list(section);
  if (*index >= items.size()) {
    return;
  }
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(*index));
  store.pins().replace(std::move(items), section);
  store.rebuild();
}

}  // namespace quayline
