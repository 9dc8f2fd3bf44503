#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Url.h"
#include "platform/Accessibility.h"

namespace quayline {

// One recently opened document of an application, as its own menu lists it.
struct AppRecentItem {
  std::string title;
  std::optional<std::string> path;  // set only when the title names a file that exists
  AXElement element;                // the menu entry, pressed when the path is unknown
  bool operator==(const AppRecentItem& other) const {
    return title == other.title && path == other.path && element == other.element;
  }
};

// The recent documents of running applications.
class AppRecentItemsSource {
 public:
  virtual ~AppRecentItemsSource() = default;
  // At most `limit` items, in the application's order.
  virtual std::vector<AppRecentItem> recentItems(std::string_view bundleIdentifier,
                                                 std::size_t limit) = 0;
  virtual void open(const AppRecentItem& item, std::string_view bundleIdentifier,
                    const std::optional<Url>& applicationURL) = 0;
};

// Until recent documents can be read on this desktop, menus show none.
class NoRecentItems final : public AppRecentItemsSource {
 public:
  std::vector<AppRecentItem> recentItems(std::string_view, std::size_t) override { return {}; }
  void open(const AppRecentItem&, std::string_view, const std::optional<Url>&) override {}
};

}  // namespace quayline
