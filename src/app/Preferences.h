#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/PreferenceValues.h"
#include "foundation/Subscription.h"

namespace quayline {

class ApplicationAppearance;
class LoginItem;
class PreferenceDomains;

// The user's behaviour and appearance settings. Read once at creation from Quayline's own
// domain, written through on every assignment, and observable per key.
class Preferences {
 public:
  static constexpr double defaultHoverDelay = 0.3;
  enum class Key {
    appearanceMode,
    windowDisplayTarget,
    runningAppsScope,
    leadingEdgeAction,
    trailingEdgeAction,
    magnificationEnabled,
    windowPreviewsEnabled,
    windowPreviewHoverDelay,
    customTintColor,
    showsAdvancedSettings,
    maximizedWindowBehavior,
    autohide,
    frontmostClickBehavior,
    windowSwitcherEnabled,
    switcherUsesCommandTab,
    opensAtLogin,
  };
  // "quayline." followed by the key's name.
  static std::string storedKey(Key key);

  Preferences(PreferenceDomains& defaults, LoginItem& loginItem, ApplicationAppearance& appearance);
  Preferences(const Preferences&) = delete;
  Preferences& operator=(const Preferences&) = delete;

  AppearanceMode appearanceMode() const { return appearanceMode_; }
  WindowDisplayTarget windowDisplayTarget() const { return windowDisplayTarget_; }
  RunningAppsScope runningAppsScope() const { return runningAppsScope_; }
  DockEdgeAction leadingEdgeAction() const { return leadingEdgeAction_; }
  DockEdgeAction trailingEdgeAction() const { return trailingEdgeAction_; }
  bool magnificationEnabled() const { return magnificationEnabled_; }
  bool windowPreviewsEnabled() const { return windowPreviewsEnabled_; }
  double windowPreviewHoverDelay() const { return windowPreviewHoverDelay_; }
  const std::optional<TintColor>& customTintColor() const { return customTintColor_; }
  bool showsAdvancedSettings() const { return showsAdvancedSettings_; }
  MaximizedWindowBehavior maximizedWindowBehavior() const { return maximizedWindowBehavior_; }
  bool autohide() const { return autohide_; }
  bool opensAtLogin() const { return opensAtLogin_; }
  FrontmostClickBehavior frontmostClickBehavior() const { return frontmostClickBehavior_; }
  bool windowSwitcherEnabled() const { return windowSwitcherEnabled_; }
  bool switcherUsesCommandTab() const { return switcherUsesCommandTab_; }

  void setAppearanceMode(AppearanceMode value);
  void setWindowDisplayTarget(WindowDisplayTarget value);
  void setRunningAppsScope(RunningAppsScope value);
  void setLeadingEdgeAction(DockEdgeAction value);
  void setTrailingEdgeAction(DockEdgeAction value);
  void setMagnificationEnabled(bool value);
  void setWindowPreviewsEnabled(bool value);
  void setWindowPreviewHoverDelay(double value);
  void setCustomTintColor(std::optional<TintColor> value);
  void setShowsAdvancedSettings(bool value);
  void setMaximizedWindowBehavior(MaximizedWindowBehavior value);
  void setAutohide(bool value);
  void setOpensAtLogin(bool value);
  void setFrontmostClickBehavior(FrontmostClickBehavior value);
  void setWindowSwitcherEnabled(bool value);
  void setSwitcherUsesCommandTab(bool value);

  // With a single dock window there is no per-display filtering.
  RunningAppsScope effectiveRunningAppsScope() const;

  // Every setting but opensAtLogin back to its default, through the setters.
  void reset();
  // Reads the stored settings again after another program changed them, and tells the
  // observers of the ones that differ now. Settings missing from the store keep their value.
  void reload();

  // Calls back once, after the next real change of any of the keys. The callback may register
  // again from inside itself. Dropping the handle cancels the registration.
  Subscription observeNextChange(std::set<Key> keys, std::function<void()> callback);

 private:
  template <typename T>
  void assign(T& field, T value, Key key);
  void write(Key key);
  void applyAppearance();
  void changed(Key key);

  PreferenceDomains& defaults_;
  LoginItem& loginItem_;
  ApplicationAppearance& appearance_;

  AppearanceMode appearanceMode_ = AppearanceMode::system;
  WindowDisplayTarget windowDisplayTarget_ = WindowDisplayTarget::allDisplays;
  RunningAppsScope runningAppsScope_ = RunningAppsScope::allDisplays;
  DockEdgeAction leadingEdgeAction_ = DockEdgeAction::showDesktop;
  DockEdgeAction trailingEdgeAction_ = DockEdgeAction::missionControl;
  bool magnificationEnabled_ = false;
  bool windowPreviewsEnabled_ = true;
  double windowPreviewHoverDelay_ = defaultHoverDelay;
  std::optional<TintColor> customTintColor_;
  bool showsAdvancedSettings_ = false;
  MaximizedWindowBehavior maximizedWindowBehavior_ = MaximizedWindowBehavior::resizeWindow;
  bool autohide_ = false;
  bool opensAtLogin_ = true;
  FrontmostClickBehavior frontmostClickBehavior_ = FrontmostClickBehavior::doesNothing;
  bool windowSwitcherEnabled_ = true;
  bool switcherUsesCommandTab_ = false;

  struct Registration {
    std::set<Key> keys;
    std::function<void()> callback;
  };
  struct Registry {
    std::uint64_t next = 0;
    std::map<std::uint64_t, Registration> registrations;
  };
  std::shared_ptr<Registry> observers_ = std::make_shared<Registry>();
};

std::string_view keyName(Preferences::Key key);

}  // namespace quayline
