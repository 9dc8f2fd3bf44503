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
  // The document's file, when the title names one that exists or the entry carries the
  // document's location.
  std::optional<std::string> path;
  AXElement element;  // the menu entry, pressed when the path is unknown
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

}  // namespace quayline
