#pragma once

#include <QWidget>
#include <vector>

#include "foundation/Subscription.h"
#include "stacks/FolderStackPanel.h"

class QLabel;
class QScrollArea;
class QToolButton;

namespace quayline {

class FolderStackItemButton;
class IconCache;
class PanelWindowing;
class Preferences;
class SystemAppearance;

// The floating folder stack: a popup the window manager never manages or focuses, the dock's
// glass under the folder's name, its items as a grid or a list, and "Open in Finder" at the foot.
// Translucent over a compositor, otherwise opaque and cut to its rounded shape.
class FolderStackPanelWindow final : public QWidget, public FolderStackPanel {
  Q_OBJECT

 public:
  struct Services {
    PanelWindowing& windowing;
    IconCache& icons;
    SystemAppearance& appearance;
    Preferences& preferences;
  };

  static constexpr int maximumScrollHeight = 420;
  static constexpr int minimumWidth = 240;

  explicit FolderStackPanelWindow(Services services);
  ~FolderStackPanelWindow() override;

  void setEvents(Events events) override { events_ = std::move(events); }
  Size setContent(const FolderStackContent& content) override;
  void orderFront(Point origin) override;
  void orderOut() override;
  bool isVisible() const override { return QWidget::isVisible(); }
  bool pointerIsOverOwnWindow() const override;

  const FolderStackContent& content() const { return content_; }
  const std::vector<FolderStackItemButton*>& itemButtons() const { return buttons_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage iconFor(const FolderStackItem& item, double scale);
  // Lays the items out in `container`; returns the size they take.
  QSize layOutItems(QWidget* container, const FolderStackContent& content, bool dark);
  void updateShape();

  Services s_;
  Events events_;
  FolderStackContent content_;
  QLabel* header_ = nullptr;
  QLabel* message_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QToolButton* footer_ = nullptr;
  int dividerY_ = 0;
  std::vector<FolderStackItemButton*> buttons_;
  bool prepared_ = false;
  bool composited_ = false;
  Subscription compositing_;
};

}  // namespace quayline
