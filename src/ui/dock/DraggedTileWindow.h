#pragma once

#include <QImage>
#include <QWidget>

namespace quayline {

// The tile being dragged, drawn over everything and following the pointer: the dock panel is
// cut to its own shape and could not show it above itself. With the "Remove" capsule over it
// while letting go would remove it. Never takes the pointer or the focus.
class DraggedTileWindow final : public QWidget {
  Q_OBJECT

 public:
  DraggedTileWindow();

  // The icon's square in global coordinates, and whether letting go would remove the tile.
  void present(const QImage& icon, const QRectF& iconRect, bool removing, bool composited);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRectF capsuleRect() const;

  QImage icon_;
  QRectF iconRect_;  // in this window
  bool removing_ = false;
};

}  // namespace quayline
