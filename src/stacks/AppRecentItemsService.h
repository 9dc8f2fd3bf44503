#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dock/AppRecentItems.h"

namespace quayline {

class Accessibility;
class FileManager;
class Paths;
class Scheduler;
class Workspace;

// An application's recent documents, read from its own "File ▸ Open Recent" menu through the
// accessibility interface and kept for a few seconds, since reading another application's menu
// is slow. Main thread only.
class AppRecentItemsService final : public AppRecentItemsSource {
 public:
  static constexpr double cacheLifetime = 5.0;

  AppRecentItemsService(Workspace& workspace, Accessibility& accessibility, Scheduler& scheduler,
                        FileManager& files, Paths& paths);

  std::vector<AppRecentItem> recentItems(std::string_view bundleIdentifier,
                                         std::size_t limit) override;
  void open(const AppRecentItem& item, std::string_view bundleIdentifier,
            const std::optional<Url>& applicationURL) override;

  // The file a menu title names: the title without a trailing " (note)", when it is an
  // absolute or home-relative path to a file that exists.
  static std::optional<std::string> resolvedPath(std::string_view title, FileManager& files,
                                                 Paths& paths);
  // The menu's own commands ("Clear Menu", "Reopen All", "More…"), told by their titles.
  static bool isMenuCommandTitle(std::string_view trimmedTitle);

 private:
  struct CacheEntry {
    std::vector<AppRecentItem> items;
    double readAt = 0;
  };

  std::vector<AppRecentItem> readMenu(std::string_view bundleIdentifier);
  std::vector<AXElement> openRecentEntries(const AXElement& application);
  std::vector<AXElement> children(const AXElement& element);

  Workspace& workspace_;
  Accessibility& accessibility_;
  Scheduler& scheduler_;
  FileManager& files_;
  Paths& paths_;
  std::map<std::string, CacheEntry, std::less<>> cache_;
};

}  // namespace quayline
