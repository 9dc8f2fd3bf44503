#pragma once

#include <QWidget>
#include <vector>

#include "foundation/Subscription.h"
#include "switcher/SwitcherPanel.h"

class QScrollArea;

namespace quayline {

class IconCache;
class PanelWindowing;
class Preferences;
class SwitcherCardView;
class SwitcherModel;
class SystemAppearance;
class WindowThumbnailer;

// The switcher's floating panel: a popup the window manager never manages or focuses, the dock's
// glass with a grid of the model's candidates on it, the selected one outlined. A grid taller
// than the panel scrolls to keep the selected row in view.
class SwitcherPanelWindow final : public QWidget, public SwitcherPanel {
  Q_OBJECT

 public:
  struct Services {
    PanelWindowing& windowing;
    SwitcherModel& model;
    WindowThumbnailer& thumbnails;
    IconCache& icons;
    SystemAppearance& appearance;
    Preferences& preferences;
  };

  explicit SwitcherPanelWindow(Services services);
  ~SwitcherPanelWindow() override;

  void setEvents(Events events) override { events_ = std::move(events); }
  void prepare() override;
  void present(const SwitcherPresentation& presentation) override;
  void dismiss() override;
  bool isVisible() const override { return QWidget::isVisible(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void rebuild();
  void updateSelection();
  void updateThumbnails();
  void updateShape();

  Services s_;
  Events events_;
  SwitcherPresentation presentation_;
  QScrollArea* scroll_;
  QWidget* grid_;
  std::vector<SwitcherCardView*> cards_;
  bool prepared_ = false;
  bool composited_ = false;
  Subscription selection_;
  Subscription images_;
  Subscription compositing_;
};

}  // namespace quayline
