#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "foundation/Subscription.h"
#include "previews/PreviewPanel.h"

namespace quayline {

class IconCache;
class PanelWindowing;
class PointerMotion;
class Preferences;
class PreviewCardView;
class SystemAppearance;
class WindowThumbnailer;

// The floating preview: a popup the window manager never manages or focuses, the dock's glass
// with the cards on it. Translucent over a compositor, otherwise opaque and cut to its rounded
// shape. While shown it watches presses anywhere and reports Escape and clicks outside itself.
class PreviewPanelWindow final : public QWidget, public PreviewPanel {
  Q_OBJECT

 public:
  struct Services {
    PanelWindowing& windowing;
    PointerMotion& input;
    WindowThumbnailer& thumbnails;
    IconCache& icons;
    SystemAppearance& appearance;
    Preferences& preferences;
  };

  explicit PreviewPanelWindow(Services services);
  ~PreviewPanelWindow() override;

  void setEvents(Events events) override { events_ = std::move(events); }
  void present(const PreviewPresentation& presentation, bool rebuild) override;
  void dismiss() override;
  bool isVisible() const override { return QWidget::isVisible(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void rebuild(const PreviewPresentation& presentation);
  void updateThumbnails();
  void updateShape();

  Services s_;
  Events events_;
  PreviewPresentation presentation_;
  std::vector<PreviewCardView*> cards_;
  bool prepared_ = false;
  bool composited_ = false;
  Subscription images_;
  Subscription compositing_;
  Subscription presses_;
};

}  // namespace quayline
