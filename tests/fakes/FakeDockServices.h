#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Preferences.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakeChromeInstances.h"
#include "fakes/FakeChromeProfiles.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeFileManager.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakePaths.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "foundation/SerialQueue.h"
#include "model/HiddenApps.h"
#include "model/PinnedItemStore.h"
#include "model/TileStore.h"
#include "windows/WindowRegistry.h"

namespace quayline {

// The desktop and the dock's model on fakes: applications, windows, settings, the tile store
// and the window registry, wired as the program wires them.
struct FakeDockServices {
  // Seeds the stored lists (empty when not given) and builds the store and the registry.
  void start(const std::vector<PinnedItem>& pinned = {},
             const std::vector<PinnedItem>& trailing = {}) {
    seed(PinnedItemStore::pinnedKey, pinned);
    seed(PinnedItemStore::trailingKey, trailing);
    build();
  }

  // Builds the store and the registry over whatever the settings hold now.
  void build() {
    hidden = std::make_unique<HiddenApps>(domains, workspace);
    registry = std::make_unique<WindowRegistry>(workspace, accessibility, scheduler, queue, log);
    store =
        std::make_unique<TileStore>(std::make_unique<PinnedItemStore>(domains, files, paths, log),
                                    workspace, instances, profiles, *hidden, *registry, files);
    scheduler.runPosted();
  }

  void seed(std::string_view key, const std::vector<PinnedItem>& items) {
    const std::string data = encodePinnedList(items);
    domains.seed(PreferenceDomains::application, key,
                 PropertyValue(PropertyData(data.begin(), data.end())));
  }

  // Lets the registry see the windows the test added, and the store the applications.
  void refresh() {
    registry->refresh();
    scheduler.runPosted();
    store->rebuild();
  }

  const Tile& tile(std::string_view id) const {
    for (const Tile& candidate : store->tiles()) {
      if (candidate.id == id) {
        return candidate;
      }
    }
    throw std::runtime_error("no tile " + std::string(id));
  }

  FakePreferenceDomains domains;
  FakeLoginItem loginItem;
  FakeApplicationAppearance applicationAppearance;
  Preferences preferences{domains, loginItem, applicationAppearance};
  FakeFileManager files;
  FakePaths paths;
  FakeSystemLog log;
  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeScheduler scheduler;
  InlineSerialQueue queue{std::string(WindowRegistry::queueLabel)};
  FakeChromeInstances instances;
  FakeChromeProfiles profiles;
  FakeDisplays displays;
  std::unique_ptr<HiddenApps> hidden;
  std::unique_ptr<WindowRegistry> registry;
  std::unique_ptr<TileStore> store;
};

}  // namespace quayline
