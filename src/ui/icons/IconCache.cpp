#include "ui/icons/IconCache.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>
#include <cmath>

#include "dock/IconAppearanceMonitor.h"
#include "platform/ApplicationIconNames.h"
#include "platform/FileManager.h"
#include "platform/Workspace.h"
#include "ui/icons/PlaceholderIcon.h"

namespace quayline {
namespace {

QString qstring(const std::string& text) {
  return QString::fromStdString(text);
}

// Without a desktop session Qt's theme is "hicolor", which lacks most common names, and the
// offscreen platform does not know the system's icon folder.
void prepareIconTheme() {
  static const bool prepared = [] {
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains(QStringLiteral("/usr/share/icons"))) {
      paths.append(QStringLiteral("/usr/share/icons"));
      QIcon::setThemeSearchPaths(paths);
    }
    if (QIcon::themeName().isEmpty()) {
      QIcon::setThemeName(QStringLiteral("hicolor"));
    }
    // On X11 without a desktop session Qt names hicolor as the fallback too, which leaves the
    // common names unresolved.
    const QString fallback = QIcon::fallbackThemeName();
    if (fallback.isEmpty() || fallback == QStringLiteral("hicolor")) {
      QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    }
    return true;
  }();
  (void)prepared;
}

// Pixel data handed over by the platform, copied into an image of its own.
QImage imageOf(const ArgbImage& argb) {
  if (argb.width <= 0 || argb.height <= 0 ||
      argb.pixels.size() != static_cast<std::size_t>(argb.width) * argb.height) {
    return {};
  }
  return QImage(reinterpret_cast<const uchar*>(argb.pixels.data()), argb.width, argb.height,
                argb.width * 4, QImage::Format_ARGB32)
      .copy();
}

QIcon themeIcon(const QString& name) {
  // The fallback theme (Adwaita, see above) answers for names the current theme lacks. The
  // theme is never switched for a lookup: a theme icon re-resolves itself under the theme
  // current when it is drawn, so one found under a borrowed theme would draw empty.
  return QIcon::fromTheme(name);
}

}  // namespace

IconCache::IconCache(IconAppearanceMonitor& monitor, Workspace& workspace, FileManager& files,
                     ApplicationIconNames& iconNames)
    : workspace_(workspace), files_(files), iconNames_(iconNames) {
  prepareIconTheme();
  monitorChanged_ = monitor.observeIconAppearance([this] {
    clear();
    iconAppearanceChanged_.emit();
  });
}

int IconCache::pixelSize(double pointSize, double scale) {
  return std::max(1, static_cast<int>(std::lround(pointSize * scale)));
}

std::string IconCache::appKey(const std::string& bundleIdentifier, int pixels) {
  return bundleIdentifier + ":" + std::to_string(pixels);
}

QImage IconCache::appIcon(const AppTile& app, double pointSize, double scale) {
  const int pixels = pixelSize(pointSize, scale);
  return cached(appKey(app.bundleIdentifier, pixels), [&] {
    return rasterize(sourceIcon(app.bundleIdentifier, app.url), pointSize, pixels);
  });
}

QImage IconCache::icon(const std::string& name, double pointSize, double scale) {
  const int pixels = pixelSize(pointSize, scale);
  return cached("named:" + name + ":" + std::to_string(pixels),
                [&] { return rasterize(themeIcon(qstring(name)), pointSize, pixels); });
}

QImage IconCache::image(const std::string& key, const ArgbImage& source, int pixels) {
  return cached(key, [&] {
    const QImage picture = imageOf(source);
    if (picture.isNull()) {
      return QImage();
    }
    return picture.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  });
}

QImage IconCache::iconForFile(const std::string& path, double pointSize, double scale) {
  const int pixels = pixelSize(pointSize, scale);
  return cached("file:" + path + ":" + std::to_string(pixels), [&] {
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(qstring(path));
    QIcon source = themeIcon(type.iconName());
    if (source.isNull()) {
      source = themeIcon(type.genericIconName());
    }
    if (source.isNull() && QFileInfo(qstring(path)).isDir()) {
      source = themeIcon(QStringLiteral("folder"));
    }
    return rasterize(source, pointSize, pixels);
  });
}

QIcon IconCache::sourceIcon(const std::string& bundleIdentifier, const std::optional<Url>& url) {
  if (QIcon icon = entryIcon(bundleIdentifier, url); !icon.isNull()) {
    return icon;
  }
  if (QIcon icon = windowIcon(bundleIdentifier); !icon.isNull()) {
    return icon;
  }
  if (const auto name = iconNames_.standInIconName(bundleIdentifier)) {
    if (QIcon icon = themeIcon(qstring(*name)); !icon.isNull()) {
      return icon;
    }
  }
  return placeholderIcon();
}

QIcon IconCache::windowIcon(const std::string& bundleIdentifier) {
  // Read once per application, not once per size: magnification asks for many sizes.
  if (auto known = windowIcons_.find(bundleIdentifier); known != windowIcons_.end()) {
    return known->second;
  }
  QIcon icon;
  bool running = false;
  for (const RunningApp& app : workspace_.runningApplications()) {
    if (app.bundleIdentifier != bundleIdentifier) {
      continue;
    }
    running = true;
    for (const ArgbImage& argb : workspace_.applicationIcons(app.pid)) {
      if (const QImage image = imageOf(argb); !image.isNull()) {
        icon.addPixmap(QPixmap::fromImage(image));
      }
    }
    if (!icon.isNull()) {
      break;
    }
  }
  // An application that does not run yet may still bring an icon along.
  if (running) {
    if (windowIcons_.size() >= capacity) {
      windowIcons_.clear();
    }
    windowIcons_[bundleIdentifier] = icon;
  }
  return icon;
}

QIcon IconCache::entryIcon(const std::string& bundleIdentifier, const std::optional<Url>& url) {
  std::vector<std::string> candidates;
  if (url) {
    candidates.push_back(url->path());
  }
  if (std::optional<Url> installed = workspace_.urlForApplication(bundleIdentifier)) {
    candidates.push_back(installed->path());
  }
  for (const std::string& path : candidates) {
    if (path.empty() || !files_.fileExists(path)) {
      continue;
    }
    const std::optional<std::string> name = iconNames_.iconName(path);
    if (!name) {
      break;
    }
    QIcon icon;
    if (name->starts_with('/')) {
      if (files_.fileExists(*name)) {
        icon = QIcon(qstring(*name));
      }
    } else {
      icon = themeIcon(qstring(*name));
    }
    if (!icon.isNull()) {
      return icon;
    }
    break;
  }
  return {};
}

std::optional<QSize> IconCache::representation(const QList<QSize>& sizes, int pixels) {
  std::optional<QSize> smallestLarge;
  std::optional<QSize> largest;
  for (const QSize& size : sizes) {
    if (size.width() >= 4 * pixels && (!smallestLarge || size.width() < smallestLarge->width())) {
      smallestLarge = size;
    }
    if (!largest || size.width() > largest->width()) {
      largest = size;
    }
  }
  return smallestLarge ? smallestLarge : largest;
}

QImage IconCache::rasterize(const QIcon& source, double pointSize, int pixels) {
  QImage bitmap(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  if (bitmap.isNull()) {
    return source.pixmap(QSize(pixels, pixels)).toImage();
  }
  bitmap.fill(Qt::transparent);
  if (pointSize > 0) {
    bitmap.setDevicePixelRatio(pixels / pointSize);
  }
  QPainter painter(&bitmap);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF target(0, 0, bitmap.deviceIndependentSize().width(),
                      bitmap.deviceIndependentSize().height());
  if (const std::optional<QSize> chosen = representation(source.availableSizes(), pixels)) {
    const QPixmap drawn = source.pixmap(*chosen, 1.0);
    painter.drawPixmap(target, drawn, QRectF(drawn.rect()));
  } else if (!source.isNull()) {
    source.paint(&painter, target.toRect());
  }
  painter.end();
  return bitmap;
}

QImage IconCache::cached(const std::string& key, const std::function<QImage()>& make) {
  if (auto found = index_.find(key); found != index_.end()) {
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->second;
  }
  entries_.emplace_front(key, make());
  index_[key] = entries_.begin();
  if (entries_.size() > capacity) {
    index_.erase(entries_.back().first);
    entries_.pop_back();
  }
  return entries_.front().second;
}

void IconCache::clear() {
  entries_.clear();
  index_.clear();
  windowIcons_.clear();
}

}  // namespace quayline
