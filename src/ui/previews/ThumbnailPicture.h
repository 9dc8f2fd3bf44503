#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>

#include "platform/WindowCapture.h"

class QPainter;
class QWidget;

namespace quayline::ThumbnailPicture {

// The captured pixels as an image that shares them; the caller keeps the capture alive.
QImage imageOf(const WindowImage& image);
QPainterPath rounded(const QRectF& rect, double radius);
QColor withAlpha(QColor colour, double alpha);
// A window's picture in `area`: its image fitted and centred, corners rounded; without one, a
// faint plate with the application's icon of `iconSize` in the middle.
void paint(QPainter& painter, const QRectF& area, const QImage& image, const QImage& icon,
           double iconSize, const QColor& primary);
// Without a compositor transparent pixels show black: a popup is cut to its rounded glass.
void shapePopup(QWidget& popup, double cornerRadius, bool composited);

}  // namespace quayline::ThumbnailPicture
