#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace quayline {

// A red capsule with white text over an icon's top-trailing corner.
class TileBadgeView {
 public:
  static double diameter(double iconSize) { return iconSize * 0.38; }
  static double borderWidth(double iconSize);
  static double fontSize(double iconSize) { return diameter(iconSize) * 0.62; }

  // The capsule's rectangle for an icon drawn in `icon`.
  static QRectF frame(const QString& text, const QRectF& icon);
  static void paint(QPainter& painter, const QString& text, const QRectF& icon, bool isDark);
};

}  // namespace quayline
