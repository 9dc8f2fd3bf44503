#pragma once

#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace quayline {

class Onboarding;
class PermissionRowWidget;

// The onboarding window's content: header, the permission rows, the row offered when the grant
// does not stick, and the footer buttons. Dragging its background moves the window.
class OnboardingView : public QWidget {
 public:
  explicit OnboardingView(Onboarding& onboarding);

  // Redraws from the onboarding's state.
  void redraw();
  // Either footer button.
  std::function<void()> finish;
  // Closed from its title bar.
  std::function<void()> closed;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  Onboarding& onboarding_;
  std::vector<PermissionRowWidget*> rows_;
  QWidget* stuckRow_;
  QPushButton* continue_;
  QPoint dragOffset_;
};

}  // namespace quayline
