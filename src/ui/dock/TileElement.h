#pragma once

#include <QWidget>
#include <functional>

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

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void exit();

  Tile tile_;
  bool inside_ = false;
};

}  // namespace quayline
