#include "ui/dock/ProfileTileView.h"

#include <QFont>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "chrome/ChromeAvatarImages.h"
#include "chrome/ProfileBadge.h"
#include "ui/icons/IconCache.h"

namespace quayline {

namespace {

// The badge at `pixels` square: composed once and then drawn as one bitmap, since a row of
// profiles is repainted every frame while the dock is magnified.
QImage composeBadge(const ChromeProfileTile& profile, const QImage& picture,
                    const ProfileBadgeGeometry& geometry, int pixels) {
  QImage badge(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  badge.fill(Qt::transparent);
  QPainter painter(&badge);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  // The bitmap spans whole points and the circle sits in its bottom-trailing corner, so the
  // badge is drawn unscaled.
  const double d = geometry.diameter;
  const double side = std::ceil(d);
  painter.scale(pixels / side, pixels / side);
  const QRectF circle(side - d, side - d, d, d);
  if (!picture.isNull()) {
    QPainterPath clip;
    clip.addEllipse(circle);
    painter.setClipPath(clip);
    painter.drawImage(circle, picture);
    painter.setClipping(false);
  } else {
    const RgbColor fill = profileBadgeColor(profile.badgeColorARGB, profile.profileDirectory);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(static_cast<float>(fill.red), static_cast<float>(fill.green),
                                      static_cast<float>(fill.blue)));
    painter.drawEllipse(circle);
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(std::round(geometry.initialFontSize))));
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(circle, Qt::AlignCenter, QString::fromStdString(profile.initial));
  }
  // The ring lies inside the circle: its stroke runs half its width in from the edge.
  const double ring = geometry.ringWidth;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, ring));
  painter.drawEllipse(circle.adjusted(ring / 2, ring / 2, -ring / 2, -ring / 2));
  return badge;
}

}  // namespace

void ProfileTileView::paintBadge(QPainter& painter, const QRectF& icon,
                                 const ChromeProfileTile& profile,
                                 const std::optional<ChromeAvatar>& avatar, IconCache& icons,
                                 const Metrics& metrics) {
  const ProfileBadgeGeometry geometry = profileBadgeGeometry(metrics.tileSize, metrics.scale);
  const double d = geometry.diameter;
  const int pixels = std::max(1, static_cast<int>(std::round(std::ceil(d) * metrics.backingScale)));
  QImage picture;
  std::string source;
  if (avatar && avatar->image) {
    const std::string key = chromeAvatarCacheKey(profile.profileDirectory, *avatar, pixels);
    picture = icons.image(key, *avatar->image, pixels);
    source = key;
  }
  if (picture.isNull()) {
    const RgbColor fill = profileBadgeColor(profile.badgeColorARGB, profile.profileDirectory);
    source = profile.profileDirectory + ":" + std::to_string(fill.red) + ":" +
             std::to_string(fill.green) + ":" + std::to_string(fill.blue) + ":" + profile.initial;
  }
  const std::string key = "badge:" + source + ":" + std::to_string(d) + ":" +
                          std::to_string(geometry.ringWidth) + ":" + std::to_string(pixels);
  const QImage badge =
      icons.composed(key, [&] { return composeBadge(profile, picture, geometry, pixels); });
  const double side = std::ceil(d);
  painter.drawImage(QRectF(icon.right() - side, icon.bottom() - side, side, side), badge);
}

}  // namespace quayline
