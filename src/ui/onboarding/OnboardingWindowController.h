#pragma once

#include <functional>
#include <memory>

#include "settings/Onboarding.h"

class QWidget;

namespace quayline {

class OnboardingView;

// The onboarding window: created on first show and kept, non-modal and above other windows.
class OnboardingWindowController {
 public:
  // `presentedMovePrompt` runs first at launch and answers whether it presented the prompt to
  // move Quayline to a lasting place, which then replaces onboarding.
  OnboardingWindowController(Onboarding::Services services,
                             std::function<bool()> presentedMovePrompt);
  ~OnboardingWindowController();
  OnboardingWindowController(const OnboardingWindowController&) = delete;
  OnboardingWindowController& operator=(const OnboardingWindowController&) = delete;

  // The launch's step: the move prompt, else the window when accessibility is missing.
  void showIfNeeded();
  void show();
  // Either footer button: remembers that onboarding finished and orders the window out.
  void finish();

  // Nothing before the first show.
  QWidget* window() const;
  Onboarding& onboarding() { return onboarding_; }

 private:
  Onboarding onboarding_;
  std::function<bool()> presentedMovePrompt_;
  std::unique_ptr<OnboardingView> window_;
};

}  // namespace quayline
