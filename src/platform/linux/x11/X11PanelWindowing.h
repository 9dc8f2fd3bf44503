#pragma once

#include <memory>

#include "platform/PanelWindowing.h"

namespace quayline::x11 {

class XConnection;
class SharedPixelSpace;

// Dock panels as EWMH dock windows, the compositing manager's selection and the root pixmap.
// Main thread only.
class X11PanelWindowing final : public PanelWindowing {
 public:
  // `pixelSpace` maps the toolkit's logical coordinates to X pixels; they are the same when it
  // is not given.
  explicit X11PanelWindowing(XConnection& connection, const SharedPixelSpace* pixelSpace = nullptr);
  ~X11PanelWindowing() override;
  X11PanelWindowing(const X11PanelWindowing&) = delete;
  X11PanelWindowing& operator=(const X11PanelWindowing&) = delete;

  void prepareDockPanel(WindowId window) override;
  void panelShown(WindowId window) override;
  void keepOutOfTaskbar(WindowId window) override;
  void preparePopup(WindowId window) override;
  bool isComposited() override;
  Subscription observeCompositing(std::function<void(bool)> observer) override;
  DesktopImage desktopBackground(const Rect& area) override;
  Subscription observeDesktopBackground(std::function<void()> observer) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quayline::x11
