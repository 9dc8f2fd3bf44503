#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <optional>
#include <vector>

#include "dock/DockLayout.h"
#include "dock/Magnification.h"
#include "foundation/Subscription.h"
#include "model/Tile.h"
#include "platform/Displays.h"
#include "ui/dock/DockViewContext.h"

namespace quayline {

class DockRowView;

// The content of one dock panel: the row of tiles on its glass, bottom-aligned and centred in
// the panel, plus the element that tells automation whether window access is granted.
class DockView : public QWidget {
  Q_OBJECT

 public:
  explicit DockView(DockViewContext& context, QWidget* parent = nullptr);
  ~DockView() override;

  // Replaces the row's content. `tiles` are the tiles this dock shows (already scoped to its
  // display); called only when they, the layout or the display changed.
  void render(const std::vector<Tile>& tiles, const DockLayout& layout,
              std::optional<DisplayNumber> display);
  using QWidget::render;

  // The magnification model's row; none draws the row at rest.
  void setMagnifiedRow(std::optional<MagnifiedRow> row);

  // The desktop background under the panel, in the panel's pixels. Without a compositor the
  // glass is drawn over it; a null image draws the glass translucent when `composited`, else
  // over an opaque base.
  void setBackdrop(const QImage& desktopBehind);
  void setComposited(bool composited);

  // The rounded glass and the icons in this widget's coordinates; a panel without a compositor
  // clips itself to it.
  QRegion glassShape() const;

  DockRowView& row() { return *row_; }

 Q_SIGNALS:
  // A secondary click on the glass outside every tile.
  void glassContextMenuRequested(QPoint globalPosition);
  // What `glassShape` answers changed while the view kept its size and content.
  void shapeChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void updateAccessElement();
  void rebuildEntries();
  void watchPreferences();
  void updateGlassBehind();

  DockViewContext& context_;
  DockRowView* row_ = nullptr;
  QWidget* accessElement_ = nullptr;
  std::vector<Tile> tiles_;
  DockLayout layout_;
  std::optional<DisplayNumber> display_;
  QImage backdrop_;
  bool composited_ = true;
  Subscription trustedChanged_;
  Subscription runningChanged_;
  Subscription windowsChanged_;
  Subscription profilesChanged_;
  Subscription badgesChanged_;
  Subscription launchingChanged_;
  Subscription trashChanged_;
  Subscription darkChanged_;
  Subscription iconsChanged_;
  Subscription preferencesChanged_;
};

}  // namespace quayline
