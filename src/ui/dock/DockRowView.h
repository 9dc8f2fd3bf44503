#pragma once

#include <QImage>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "dock/DisplayScope.h"
#include "dock/DockLayout.h"
#include "dock/DockRowGeometry.h"
#include "dock/Magnification.h"
#include "foundation/Subscription.h"
#include "model/Tile.h"
#include "ui/dock/DockGlass.h"
#include "ui/dock/DockViewContext.h"

namespace quayline {

class DockDragController;
class DraggedTileWindow;
class TileElement;

// One horizontal row of tiles on the dock's glass, bottom-aligned and centred in the widget,
// drawn at rest or spread by a magnified row.
class DockRowView : public QWidget {
  Q_OBJECT

 public:
  struct Entry {
    Tile tile;
    TileDisplayPlacement placement;
    bool operator==(const Entry&) const = default;
  };

  DockRowView(DockViewContext& context, QWidget* parent = nullptr);
  ~DockRowView() override;

  void setEntries(std::vector<Entry> entries, const DockLayout& layout);
  void setMagnifiedRow(std::optional<MagnifiedRow> row);
  void setGlassBehind(DockGlass::Behind behind, const QImage& backdrop);
  // The display the dock serves, handed to the previews with each hover.
  void setDisplay(std::optional<DisplayNumber> display) { display_ = display; }
  // The dock window's drag: tiles that may be dragged get the gesture. Null for none.
  void setDragController(DockDragController* drag);
  void setComposited(bool composited) { composited_ = composited; }

  const std::vector<Entry>& entries() const { return entries_; }
  const DockRowGeometry& geometry() const { return geometry_; }
  QRectF glassRect() const;
  // Where the tile's frame (slot width by row height) is drawn, with its offset.
  QRectF tileFrame(std::size_t index) const;
  // The tile's frame in screen space (origin at the primary screen's bottom left, y up).
  Rect screenFrame(std::size_t index) const;
  // The icon's square in a tile frame (app, trash, folder and profile tiles).
  QRectF iconRect(std::size_t index) const;
  TileElement* element(std::size_t index) const { return elements_.at(index); }

  // Re-reads everything a tile shows from the services (badges, windows, appearance).
  void refresh();
  // Follows which tiles are launching: their markers, and the bounce while any is.
  void updateAttention();
  bool isBouncing() const { return bounceTimer_.isActive(); }
  // The glass and every icon's own pixels: what a window without a compositor must show.
  QRegion opaqueShape() const;

 Q_SIGNALS:
  void glassContextMenuRequested(QPoint globalPosition);
  // The opaque shape changed without the row's geometry changing (an icon hops).
  void shapeChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void rebuildElements();
  void layoutElements();
  void describe(std::size_t index);
  void paintTile(QPainter& painter, std::size_t index, bool isDark);
  double iconPointSize(std::size_t index) const;
  QImage iconImage(std::size_t index) const;
  bool isLaunching(std::size_t index) const;
  double bounceOffset(std::size_t index) const;
  double backingScale() const;
  bool hasWindows(const Tile& tile) const;
  void entered(TileElement& element);
  void clicked(TileElement& element);
  void contextMenu(TileElement& element, QPoint position);
  std::optional<std::size_t> indexOf(const TileElement& element) const;
  void dragged(TileElement& element, QPointF translation);
  void dragEnded(TileElement& element, bool released);
  // One frame while a drag lasts or the tiles still ease to their places.
  void followDrag();
  bool isDragged(std::size_t index) const;

  DockViewContext& context_;
  std::vector<Entry> entries_;
  std::vector<double> slotWidths_;
  DockLayout layout_;
  std::optional<MagnifiedRow> row_;
  std::optional<DisplayNumber> display_;
  DockRowGeometry geometry_;
  std::vector<TileElement*> elements_;
  DockGlass::Behind behind_ = DockGlass::Behind::nothing;
  QImage backdrop_;
  QImage softened_;
  std::vector<QWidget*> attentionMarkers_;
  QTimer bounceTimer_;
  DockDragController* drag_ = nullptr;
  Subscription dragSession_;
  std::unique_ptr<DraggedTileWindow> floating_;
  QTimer dragTimer_;
  bool composited_ = false;
};

}  // namespace quayline
