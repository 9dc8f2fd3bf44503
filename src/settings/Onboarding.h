#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "foundation/Subscription.h"
#include "platform/PrivacyPermissions.h"
#include "settings/PermissionRows.h"

namespace quayline {

class AccessibilityRecovery;
class PreferenceDomains;
class Scheduler;

// Onboarding's decisions: whether it shows at launch, its permission rows, the rule that notices a
// grant that does not stick, and what its buttons do. The window controller draws from it and
// shows and hides the window.
class Onboarding {
 public:
  static constexpr std::string_view completedKey = "quayline.onboardingCompleted";
  static constexpr std::string_view windowTitle = "Welcome to Quayline";
  static constexpr std::string_view introduction =
      "Quayline replaces your Dock and gives every Chrome profile its own icon. It needs one "
      "permission to see other apps' windows.";
  static constexpr std::string_view requiredTag = "Required";
  static constexpr std::string_view stuckTitle = "Switch not staying on?";
  static constexpr std::string_view stuckText =
      "macOS is probably holding an old entry for Quayline. Clearing it takes a second and does "
      "not need your password. Quayline will reopen and ask once more.";
  static constexpr std::string_view clearAndReopenTitle = "Clear and Reopen";
  static constexpr std::string_view openSettingsTitle = "Open System Settings";
  static constexpr std::string_view skipTitle = "Skip for Now";
  static constexpr std::string_view continueTitle = "Continue";
  static constexpr double pollInterval = 1.0;
  // How long after asking for accessibility a missing grant counts as not sticking.
  static constexpr double stuckAfter = 25.0;

  struct Services {
    PrivacyPermissions& permissions;
    PreferenceDomains& domains;
    Scheduler& scheduler;
    AccessibilityRecovery& recovery;
  };

  explicit Onboarding(Services services);

  // The launch's decision: nothing when the move prompt was presented instead
  // (`presentedMovePrompt` answers whether it was) or when accessibility is granted already.
  bool shouldShowAtLaunch(const std::function<bool()>& presentedMovePrompt);

  // The window appeared: evaluates now and then once per `pollInterval` until `finish`.
  void begin();
  // Either footer button, or the grant arriving while the window shows: remembers that
  // onboarding finished and stops polling.
  void finish();
  // The window was closed without either button: polling stops, nothing is remembered.
  void end() { poll_.reset(); }
  bool polling() const { return poll_.active(); }

  bool accessibility() const { return check_.contains(SystemPermission::accessibility); }
  bool screenRecording() const { return check_.contains(SystemPermission::screenRecording); }
  bool stuck() const { return stuck_; }
  bool canContinue() const { return accessibility(); }
  // Accessibility, tagged as required, then screen recording.
  std::vector<PermissionRow> rows() const;

  // A row's button.
  void press(SystemPermission permission);
  // The buttons of the row shown while the grant does not stick.
  void clearAndReopen();
  void openSystemSettings();

  // Called after every change of what the window shows.
  std::function<void()> changed;
  // Called when the grant arrived while the window showed (after `finish`): the window closes.
  std::function<void()> granted;

 private:
  void tick();

  Services s_;
  PermissionRows texts_;
  PermissionCheck check_;
  std::optional<double> askedAt_;
  bool stuck_ = false;
  Subscription poll_;
};

}  // namespace quayline
