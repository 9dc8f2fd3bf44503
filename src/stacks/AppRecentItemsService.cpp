#include "stacks/AppRecentItemsService.h"

#include <algorithm>
#include <array>

#include "foundation/Scheduler.h"
#include "foundation/Text.h"
#include "platform/Accessibility.h"
#include "platform/FileManager.h"
#include "platform/Paths.h"
#include "platform/Workspace.h"

namespace quayline {

namespace {

constexpr std::size_t kStaleRetryLimit = 10;
constexpr std::array<std::string_view, 3> kCommandPrefixes{"clear", "reopen", "more"};

std::optional<ProcessId> firstProcess(Workspace& workspace, std::string_view bundleIdentifier) {
  for (const RunningApp& app : workspace.runningApplications()) {
    if (app.bundleIdentifier == bundleIdentifier) {
      return app.pid;
    }
  }
  return std::nullopt;
}

template <typename T>
const T* valueOf(const std::optional<AXValue>& value) {
  return value ? std::get_if<T>(&*value) : nullptr;
}

}  // namespace

AppRecentItemsService::AppRecentItemsService(Workspace& workspace, Accessibility& accessibility,
                                             Scheduler& scheduler, FileManager& files, Paths& paths)
    : workspace_(workspace),
      accessibility_(accessibility),
      scheduler_(scheduler),
      files_(files),
      paths_(paths) {}

std::vector<AppRecentItem> AppRecentItemsService::recentItems(std::string_view bundleIdentifier,
                                                              std::size_t limit) {
  const double now = scheduler_.monotonic();
  auto cached = cache_.find(bundleIdentifier);
  if (cached == cache_.end() || now - cached->second.readAt >= cacheLifetime) {
    cached = cache_
                 .insert_or_assign(std::string(bundleIdentifier),
                                   CacheEntry{readMenu(bundleIdentifier), now})
                 .first;
  }
  const std::vector<AppRecentItem>& items = cached->second.items;
  return {items.begin(),
          items.begin() + static_cast<std::ptrdiff_t>(std::min(limit, items.size()))};
}

std::vector<AXElement> AppRecentItemsService::children(const AXElement& element) {
  const auto value = accessibility_.attribute(element, AX::children);
  const auto* list = valueOf<std::vector<AXElement>>(value);
  return list ? *list : std::vector<AXElement>{};
}

std::vector<AXElement> AppRecentItemsService::openRecentEntries(const AXElement& application) {
  const auto bar = accessibility_.attribute(application, AX::menuBar);
  const auto* menuBar = valueOf<AXElement>(bar);
  if (!menuBar || !*menuBar) {
    return {};
  }
  for (const AXElement& barItem : children(*menuBar)) {
    const auto title = accessibility_.attribute(barItem, AX::title);
    if (const auto* text = valueOf<std::string>(title); !text || *text != "File") {
      continue;
    }
    const std::vector<AXElement> fileMenus = children(barItem);
    if (fileMenus.empty()) {
      continue;
    }
    for (const AXElement& item : children(fileMenus.front())) {
      const auto itemTitle = accessibility_.attribute(item, AX::title);
      if (const auto* text = valueOf<std::string>(itemTitle); !text || *text != "Open Recent") {
        continue;
      }
      const std::vector<AXElement> submenus = children(item);
      if (submenus.empty()) {
        continue;
      }
      if (std::vector<AXElement> entries = children(submenus.front()); !entries.empty()) {
        return entries;
      }
      break;
    }
  }
  return {};
}

bool AppRecentItemsService::isMenuCommandTitle(std::string_view trimmedTitle) {
  const std::string lower = text::lowercased(trimmedTitle);
  return std::any_of(kCommandPrefixes.begin(), kCommandPrefixes.end(),
                     [&](std::string_view prefix) { return lower.starts_with(prefix); });
}

std::vector<AppRecentItem> AppRecentItemsService::readMenu(std::string_view bundleIdentifier) {
  const auto pid = firstProcess(workspace_, bundleIdentifier);
  if (!pid) {
    return {};
  }
  const std::vector<AXElement> entries = openRecentEntries(accessibility_.applicationElement(*pid));
  if (entries.empty()) {
    return {};
  }
  // Titles and document locations of every entry in one read.
  const auto values = accessibility_.attributes(entries, {AX::title, AX::url});
  std::vector<AppRecentItem> items;
  for (std::size_t i = 0; i < entries.size() && i < values.size(); ++i) {
    if (values[i].size() < 2) {
      continue;
    }
    const auto* rawTitle = valueOf<std::string>(values[i][0]);
    if (!rawTitle) {
      continue;
    }
    const std::string title = text::trimmed(*rawTitle);
    const auto* document = valueOf<Url>(values[i][1]);
    // An entry that names a document is one, whatever its name begins with ("Clearwater.pdf").
    if (title.empty() || (!document && isMenuCommandTitle(title))) {
      continue;
    }
    std::optional<std::string> path = resolvedPath(title, files_, paths_);
    if (!path && document && document->isFileURL() && files_.fileExists(document->path())) {
      path = document->path();
    }
    items.push_back(AppRecentItem{title, std::move(path), entries[i]});
  }
  return items;
}

std::optional<std::string> AppRecentItemsService::resolvedPath(std::string_view title,
                                                               FileManager& files, Paths& paths) {
  std::string_view candidate = title;
  if (const auto note = title.rfind(" ("); note != std::string_view::npos && title.ends_with(')')) {
    candidate = title.substr(0, note);
  }
  std::string path;
  if (candidate.starts_with('~')) {
    path = paths.homeDirectory() + std::string(candidate.substr(1));
  } else if (candidate.starts_with('/')) {
    path = std::string(candidate);
  } else {
    return std::nullopt;
  }
  return files.fileExists(path) ? std::optional<std::string>(path) : std::nullopt;
}

void AppRecentItemsService::open(const AppRecentItem& item, std::string_view bundleIdentifier,
                                 const std::optional<Url>& applicationURL) {
  if (item.path && applicationURL) {
    workspace_.openDocuments({Url::fileURL(*item.path)}, *applicationURL);
    return;
  }
  const auto pid = firstProcess(workspace_, bundleIdentifier);
  if (!pid) {
    return;
  }
  workspace_.activate(*pid);
  if (item.element && accessibility_.performAction(item.element, AX::press)) {
    return;
  }
  // The menu was rebuilt since it was read: press the same document in the menu as it is now.
  // Two folders can hold files of one name, so the path must match too when there is one.
  if (const auto cached = cache_.find(bundleIdentifier); cached != cache_.end()) {
    cache_.erase(cached);
  }
  for (const AppRecentItem& fresh : recentItems(bundleIdentifier, kStaleRetryLimit)) {
    if (fresh.title == item.title && (!item.path || fresh.path == item.path)) {
      accessibility_.performAction(fresh.element, AX::press);
      return;
    }
  }
}

}  // namespace quayline
