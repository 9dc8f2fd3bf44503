#include "ui/dock/ProfileTileView.h"

#include <QFont>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "chrome/ChromeAvatarImages.h"
#include "chrome/ProfileBadge.h"
#include "ui/icons/IconCache.h"

namespace quayline {

void ProfileTileView::paintBadge(QPainter& painter, const QRectF& icon,
                                 const ChromeProfileTile& profile,
                                 const std::optional<ChromeAvatar>& avatar, IconCache& icons,
                                 const Metrics& metrics) {
  const ProfileBadgeGeometry geometry = profileBadgeGeometry(metrics.tileSize, metrics.scale);
  const double d = geometry.diameter;
  const QRectF circle(icon.right() - d, icon.bottom() - d, d, d);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);

  QImage picture;
  if (avatar && avatar->image) {
    const int pixels =
        std::max(1, static_cast<int>(std::round(std::ceil(d) * metrics.backingScale)));
    picture = icons.image(chromeAvatarCacheKey(profile.profileDirectory, *avatar, pixels),
                          *avatar->image, pixels);
  }
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
  painter.restore();
}

}  // namespace quayline
