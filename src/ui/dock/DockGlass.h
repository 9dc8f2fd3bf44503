#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace quayline {

// The dock's rounded background: what lies behind it, the tint over that, and a thin light
// border inside the edge.
class DockGlass {
 public:
  enum class Behind {
    nothing,   // a compositor blends the window over the desktop
    backdrop,  // the desktop's background, drawn by us under the glass
    opaque,    // neither: a solid base
  };

  static QPainterPath shape(const QRectF& rect, double cornerRadius);

  // `backdrop` is already softened and covers `rect`; used only for Behind::backdrop.
  static void paint(QPainter& painter, const QRectF& rect, double cornerRadius, Behind behind,
                    const QImage& backdrop, const QColor& tint, bool isDark);

  // A blurred copy of the desktop behind the glass, standing in for the frosted material.
  static QImage soften(const QImage& image);
};

}  // namespace quayline
