#include "dock/ChromeProfileTileActions.h"

#include "chrome/ChromeInstance.h"
#include "chrome/ChromeProfiles.h"
#include "dock/AppTileActions.h"
#include "model/TileStore.h"
#include "platform/Accessibility.h"

namespace quayline {

ChromeProfileTileActions::ChromeProfileTileActions(TileActionServices& services, Tile tile)
    : services_(services), tile_(std::move(tile)) {}

std::optional<RunningApp> ChromeProfileTileActions::browser() const {
  const auto main = services_.chromeInstances.mainBrowserProcessIdentifier();
  return main ? runningApp(services_.workspace, *main) : std::nullopt;
}

void ChromeProfileTileActions::click() const {
  if (const auto window = services_.chromeProfiles.preferredWindow(profile().profileDirectory)) {
    raiseWindow(services_, *window);
  } else {
    services_.chromeProfiles.openNewWindow(profile().profileDirectory);
  }
}

std::vector<TileOptionsMenu::Item> ChromeProfileTileActions::pinOptions() const {
  TileStore& store = services_.store;
  const std::string& directory = profile().profileDirectory;
  if (store.isPinnedProfile(directory)) {
    return {{"Remove from Dock", [&store, tile = tile_] { removeFromDock(store, tile); }}};
  }
  const PinnedItem pinned{PinnedChromeProfile{directory}};
  if (tile_.section == TileSection::pinned) {
    // Shown in the pinned browser's place: keeping it puts it where it stands now.
    return {{"Keep in Dock",
             [&store, tile = tile_, pinned] {
               store.pin(pinned, TileSection::pinned, store.storedIndex(tile));
             }},
            {"Remove " + services_.chromeProfiles.productName() + " from Dock",
             [&store, tile = tile_] { removeFromDock(store, tile); }}};
  }
  return {{"Keep in Dock", [&store, pinned] { store.pin(pinned, TileSection::pinned); }}};
}

void ChromeProfileTileActions::quit(const std::vector<AppWindow>& windows) const {
  Accessibility& accessibility = services_.accessibility;
  for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
    const auto button = accessibility.attribute(window->element, AX::closeButton);
    const AXElement* element = button ? std::get_if<AXElement>(&*button) : nullptr;
    if (element != nullptr && *element != nullptr) {
      accessibility.performAction(*element, AX::press);
    }
  }
}

Menu ChromeProfileTileActions::contextMenuItems() const {
  // Actions hold copies of what they need, so a menu outlives the row that built it.
  const ChromeProfileTileActions self = *this;
  const std::string& directory = profile().profileDirectory;

  Menu newWindow{MenuEntry::button("New Window in This Profile", [self, directory] {
    self.services_.chromeProfiles.openNewWindow(directory);
  })};

  const std::vector<AppWindow> windows = services_.chromeProfiles.windows(directory);
  Menu windowItems;
  for (const AppWindow& window : windows) {
    windowItems.push_back(MenuEntry::button(
        TileMenu::title(window), [self, window] { raiseWindow(self.services_, window); }));
  }

  TileOptionsMenu options{pinOptions(),
                          services_.workspace.urlForApplication(kChromeBundleIdentifier)};
  Menu optionItems{options.entry(services_.workspace)};

  Menu browserItems;
  if (const auto browser = this->browser()) {
    const std::string product = services_.chromeProfiles.productName();
    browserItems.push_back(MenuEntry::button(
        (browser->isHidden ? "Show " : "Hide ") + product,
        [&workspace = services_.workspace, pid = browser->pid, hidden = browser->isHidden] {
          if (hidden) {
            workspace.unhide(pid);
          } else {
            workspace.hide(pid);
          }
        }));
    if (!windows.empty()) {
      browserItems.push_back(MenuEntry::button("Quit " + profile().displayName,
                                               [self, windows] { self.quit(windows); }));
    }
  }
  return joinGroups({std::move(newWindow), std::move(windowItems), std::move(optionItems),
                     std::move(browserItems)});
}

}  // namespace quayline
