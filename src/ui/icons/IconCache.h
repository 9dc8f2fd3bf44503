#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QSize>
#include <list>
#include <optional>
#include <string>
#include <unordered_map>

#include "foundation/Signal.h"
#include "foundation/Subscription.h"
#include "model/Tile.h"
#include "platform/ArgbImage.h"

namespace quayline {

class ApplicationIconNames;
class FileManager;
class IconAppearanceMonitor;
class Workspace;

// The bitmaps the dock draws: application, file and theme icons rasterised once at the exact
// pixel size a tile needs, kept in a bounded cache that the icon style's change empties.
class IconCache {
 public:
  static constexpr std::size_t capacity = 512;

  IconCache(IconAppearanceMonitor& monitor, Workspace& workspace, FileManager& files,
            ApplicationIconNames& iconNames);
  IconCache(const IconCache&) = delete;
  IconCache& operator=(const IconCache&) = delete;

  // max(1, round(pointSize × scale)).
  static int pixelSize(double pointSize, double scale);
  static std::string appKey(const std::string& bundleIdentifier, int pixels);

  QImage appIcon(const AppTile& app, double pointSize, double scale);
  // A theme icon by name; a transparent bitmap for a name the theme does not have.
  QImage icon(const std::string& name, double pointSize, double scale);
  // The icon of the file's type (a folder's for a directory).
  QImage iconForFile(const std::string& path, double pointSize, double scale);

  // A picture handed over by the platform, drawn at exactly `pixels` square and cached under
  // `key`, which must change whenever the picture does.
  QImage image(const std::string& key, const ArgbImage& source, int pixels);
  // Any bitmap a view composes, made once per `key`.
  QImage composed(const std::string& key, const std::function<QImage()>& make) {
    return cached(key, make);
  }

  // The application's own icon before rasterising: the tile's entry's, else that of the entry
  // installed for its identifier, else the one its running windows carry, else the platform's
  // stand-in, else the placeholder.
  QIcon sourceIcon(const std::string& bundleIdentifier, const std::optional<Url>& url);

  // Draws the source at exactly `pixels` square, from the smallest of its sizes that is at
  // least four times as large, else from its largest.
  static QImage rasterize(const QIcon& source, double pointSize, int pixels);
  static std::optional<QSize> representation(const QList<QSize>& sizes, int pixels);

  std::size_t count() const { return entries_.size(); }
  bool contains(const std::string& key) const { return index_.count(key) != 0; }

  // Called after the icon style changed and the cache was emptied.
  Subscription observeIconAppearance(std::function<void()> observer) {
    return iconAppearanceChanged_.connect([observer = std::move(observer)] { observer(); });
  }

 private:
  QIcon entryIcon(const std::string& bundleIdentifier, const std::optional<Url>& url);
  QIcon windowIcon(const std::string& bundleIdentifier);
  QImage cached(const std::string& key, const std::function<QImage()>& make);
  void clear();

  Workspace& workspace_;
  FileManager& files_;
  ApplicationIconNames& iconNames_;

  // Most recently used at the front.
  using Entry = std::pair<std::string, QImage>;
  std::list<Entry> entries_;
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
  // The icons running applications' windows carry (null for none), by bundle identifier.
  std::unordered_map<std::string, QIcon> windowIcons_;

  Signal<> iconAppearanceChanged_;
  Subscription monitorChanged_;
};

}  // namespace quayline
