#include "model/PinnedItemStore.h"

#include "model/PinnedRow.h"
#include "model/SystemDockPreferences.h"
#include "platform/FileManager.h"
#include "platform/Paths.h"
#include "platform/PreferenceDomains.h"
#include "platform/SystemLog.h"

namespace quayline {

namespace {

PinnedItem toPinnedItem(const SystemDockPreferences::Item& item) {
  if (const auto* app = std::get_if<SystemDockPreferences::App>(&item)) {
    return PinnedApp{app->bundleIdentifier, app->url.path()};
  }
  if (const auto* folder = std::get_if<SystemDockPreferences::Folder>(&item)) {
    return PinnedFolder{folder->url.path()};
  }
  return PinnedSpacer{std::get<SystemDockPreferences::Spacer>(item).small};
}

}  // namespace

PinnedItemStore::PinnedItemStore(PreferenceDomains& defaults, FileManager& files, Paths& paths,
                                 SystemLog& log)
    : defaults_(defaults), files_(files), paths_(paths), log_(log) {
  // The two lists load independently: a bad pinned list never reseeds the trailing one.
  if (auto stored = loadStored(pinnedKey)) {
    pinned_ = PinnedRow::deduplicated(*stored);
  } else {
    pinned_ = PinnedRow::deduplicated(seedPinned());
    write(pinnedKey, pinned_);
  }
  if (auto stored = loadStored(trailingKey)) {
    trailing_ = PinnedRow::deduplicated(*stored);
  } else {
    trailing_ = PinnedRow::deduplicated(seedTrailing());
    if (trailing_.empty()) {
      if (auto downloads = defaultDownloadsItem()) {
        trailing_.push_back(*downloads);
      }
    }
    write(trailingKey, trailing_);
  }
}

const std::vector<PinnedItem>& PinnedItemStore::list(TileSection section) const {
  return section == TileSection::trailing ? trailing_ : pinned_;
}

void PinnedItemStore::replace(std::vector<PinnedItem> items, TileSection section) {
  auto deduplicated = PinnedRow::deduplicated(items);
  auto& current = section == TileSection::trailing ? trailing_ : pinned_;
  if (deduplicated == current) {
    return;
  }
  current = std::move(deduplicated);
  write(section == TileSection::trailing ? trailingKey : pinnedKey, current);
}

std::optional<PinnedItem> PinnedItemStore::defaultDownloadsItem() {
  auto downloads = paths_.downloadsDirectory();
  if (!downloads || !files_.fileExists(*downloads)) {
    return std::nullopt;
  }
  return PinnedFolder{*downloads};
}

bool PinnedItemStore::reload() {
  defaults_.synchronize(PreferenceDomains::application);
  bool changed = false;
  for (auto [key, list] : {std::pair{pinnedKey, &pinned_}, {trailingKey, &trailing_}}) {
    std::optional<PropertyValue> unreadable;
    if (auto stored = decodeStored(key, &unreadable)) {
      auto deduplicated = PinnedRow::deduplicated(*stored);
      if (deduplicated != *list) {
        *list = std::move(deduplicated);
        changed = true;
      }
    } else if (unreadable) {
      log_.log("pinned", "stored " + std::string(key) + " is unreadable; the list shown is kept");
    }
  }
  return changed;
}

std::optional<std::vector<PinnedItem>> PinnedItemStore::decodeStored(
    std::string_view key, std::optional<PropertyValue>* unreadable) {
  auto stored = defaults_.copy(PreferenceDomains::application, key);
  if (!stored) {
    return std::nullopt;
  }
  if (const auto* data = stored->data()) {
    const std::string_view text(reinterpret_cast<const char*>(data->data()), data->size());
    if (auto items = decodePinnedList(text)) {
      return items;
    }
  }
  *unreadable = std::move(stored);
  return std::nullopt;
}

std::optional<std::vector<PinnedItem>> PinnedItemStore::loadStored(std::string_view key) {
  std::optional<PropertyValue> unreadable;
  if (auto items = decodeStored(key, &unreadable)) {
    return items;
  }
  if (!unreadable) {
    return std::nullopt;
  }
  // The list will be seeded again and the seed stored over it. Keep the unreadable value
  // beside it so that nothing the user had is destroyed without a trace.
  const std::string backupKey = std::string(key) + ".unreadable";
  defaults_.set(PreferenceDomains::application, backupKey, *unreadable);
  log_.log("pinned", "stored " + std::string(key) + " is unreadable; kept as " + backupKey +
                         " and seeded again");
  return std::nullopt;
}

std::vector<PinnedItem> PinnedItemStore::seedPinned() {
  std::vector<PinnedItem> items;
  for (const auto& entry : SystemDockPreferences::tiles(defaults_, files_, "persistent-apps",
                                                        /*appsAllowed=*/true)) {
    if (const auto* app = std::get_if<SystemDockPreferences::App>(&entry)) {
      if (!files_.fileExists(app->url.path())) {
        continue;  // an application removed since the system dock listed it
      }
    }
    items.push_back(toPinnedItem(entry));
  }
  return items;
}

std::vector<PinnedItem> PinnedItemStore::seedTrailing() {
  std::vector<PinnedItem> items;
  for (const auto& entry : SystemDockPreferences::tiles(defaults_, files_, "persistent-others",
                                                        /*appsAllowed=*/false)) {
    items.push_back(toPinnedItem(entry));
  }
  return items;
}

void PinnedItemStore::write(std::string_view key, const std::vector<PinnedItem>& items) {
  const std::string json = encodePinnedList(items);
  defaults_.set(PreferenceDomains::application, key,
                PropertyValue(PropertyData(json.begin(), json.end())));
}

}  // namespace quayline
