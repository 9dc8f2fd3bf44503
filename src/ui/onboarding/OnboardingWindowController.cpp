#include "ui/onboarding/OnboardingWindowController.h"

#include <QGuiApplication>
#include <QScreen>

#include "ui/onboarding/OnboardingView.h"

namespace quayline {

OnboardingWindowController::OnboardingWindowController(Onboarding::Services services,
                                                       std::function<bool()> presentedMovePrompt)
    : onboarding_(services), presentedMovePrompt_(std::move(presentedMovePrompt)) {}

OnboardingWindowController::~OnboardingWindowController() {
  onboarding_.changed = nullptr;
  onboarding_.granted = nullptr;
}

void OnboardingWindowController::showIfNeeded() {
  if (onboarding_.shouldShowAtLaunch(presentedMovePrompt_)) {
    show();
  }
}

void OnboardingWindowController::show() {
  if (!window_) {
    window_ = std::make_unique<OnboardingView>(onboarding_);
    // Titled and closable, floating above other windows; never modal.
    window_->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                            Qt::WindowStaysOnTopHint);
    window_->finish = [this] { finish(); };
    window_->closed = [this] { onboarding_.end(); };
    onboarding_.changed = [this] { window_->redraw(); };
    onboarding_.granted = [this] { window_->hide(); };
    window_->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = window_->frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      window_->move(frame.topLeft());
    }
  }
  if (!onboarding_.polling()) {
    onboarding_.begin();
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void OnboardingWindowController::finish() {
  onboarding_.finish();
  if (window_) {
    window_->hide();
  }
}

QWidget* OnboardingWindowController::window() const {
  return window_.get();
}

}  // namespace quayline
