#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "model/Tile.h"

namespace quayline {

// The part of a tile the pointer and accessibility clients meet: it takes the tile's hit area,
// carries its tool tip and accessibility label, identifier and value, and reports the pointer
// entering and leaving. The row paints the tile itself, so these widgets draw nothing.
class TileElement : public QWidget {
  Q_OBJECT

 public:
  TileElement(Tile tile, QWidget* parent);
  // A tile removed while the pointer is on it reports the pointer leaving.
  ~TileElement() override;

  const Tile& tile() const { return tile_; }
  void setTile(Tile tile) { tile_ = std::move(tile); }
  bool isInside() const { return inside_; }

  // Called with the element when the pointer enters and leaves; none for tiles without
  // previews.
  std::function<void(TileElement&)> onEnter;
  std::function<void(TileElement&)> onExit;
  // A primary click (pressed and released on the tile) and a secondary press, at a global
  // position. A secondary press without a handler goes on to the dock's glass.
  std::function<void(TileElement&)> onClick;
  std::function<void(TileElement&, QPoint)> onContextMenu;
  // A primary press moved at least `dragDistance` points turns into a drag instead of a click:
  // the translation since the press on every move, then its end — `released` false when the
  // drag was cut short (the button found up, the tile hidden). None for tiles that stay put.
  std::function<void(TileElement&, QPointF)> onDrag;
  std::function<void(TileElement&, bool released)> onDragEnd;
  double dragDistance = 4;

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void exit();
  void endDrag(bool released);

  Tile tile_;
  bool inside_ = false;
  std::optional<QPointF> pressedAt_;  // global position of a primary press
  bool dragging_ = false;
};

}  // namespace quayline
