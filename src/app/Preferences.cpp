#include "app/Preferences.h"

#include <cmath>
#include <vector>

#include "platform/ApplicationAppearance.h"
#include "platform/LoginItem.h"
#include "platform/PreferenceDomains.h"

namespace quayline {

std::string_view keyName(Preferences::Key key) {
  using enum Preferences::Key;
  switch (key) {
    case appearanceMode:
      return "appearanceMode";
    case windowDisplayTarget:
      return "windowDisplayTarget";
    case runningAppsScope:
      return "runningAppsScope";
    case leadingEdgeAction:
      return "leadingEdgeAction";
    case trailingEdgeAction:
      return "trailingEdgeAction";
    case magnificationEnabled:
      return "magnificationEnabled";
    case windowPreviewsEnabled:
      return "windowPreviewsEnabled";
    case windowPreviewHoverDelay:
      return "windowPreviewHoverDelay";
    case customTintColor:
      return "customTintColor";
    case showsAdvancedSettings:
      return "showsAdvancedSettings";
    case maximizedWindowBehavior:
      return "maximizedWindowBehavior";
    case autohide:
      return "autohide";
    case frontmostClickBehavior:
      return "frontmostClickBehavior";
    case windowSwitcherEnabled:
      return "windowSwitcherEnabled";
    case switcherUsesCommandTab:
      return "switcherUsesCommandTab";
    case opensAtLogin:
      return "opensAtLogin";
  }
  return {};
}

std::string Preferences::storedKey(Key key) {
  return "quayline." + std::string(keyName(key));
}

namespace {

class Reader {
 public:
  explicit Reader(PreferenceDomains& defaults) : defaults_(defaults) {}

  void boolean(Preferences::Key key, bool& field) {
    auto value = stored(key);
    if (value && value->boolean()) {
      field = *value->boolean();
    }
  }
  // A delay becomes a timer interval: one that is not a finite, non-negative number of seconds
  // reads as the default.
  void delay(Preferences::Key key, double& field, double fallback) {
    auto value = stored(key);
    if (auto number = value ? value->number() : std::nullopt) {
      field = std::isfinite(*number) && *number >= 0 ? *number : fallback;
    }
  }
  template <typename E>
  void enumeration(Preferences::Key key, E& field) {
    auto value = stored(key);
    if (value && value->string()) {
      if (auto parsed = fromRawValue<E>(*value->string())) {
        field = *parsed;
      }
    }
  }
  void tint(Preferences::Key key, std::optional<TintColor>& field) {
    auto value = stored(key);
    if (value && value->data()) {
      const auto& bytes = *value->data();
      field = TintColor::fromJson(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
  }

 private:
  std::optional<PropertyValue> stored(Preferences::Key key) {
    return defaults_.copy(PreferenceDomains::application, Preferences::storedKey(key));
  }
  PreferenceDomains& defaults_;
};

}  // namespace

Preferences::Preferences(PreferenceDomains& defaults, LoginItem& loginItem,
                         ApplicationAppearance& appearance)
    : defaults_(defaults), loginItem_(loginItem), appearance_(appearance) {
  Reader read(defaults_);
  read.enumeration(Key::appearanceMode, appearanceMode_);
  read.enumeration(Key::windowDisplayTarget, windowDisplayTarget_);
  read.enumeration(Key::runningAppsScope, runningAppsScope_);
  read.enumeration(Key::leadingEdgeAction, leadingEdgeAction_);
  read.enumeration(Key::trailingEdgeAction, trailingEdgeAction_);
  read.boolean(Key::magnificationEnabled, magnificationEnabled_);
  read.boolean(Key::windowPreviewsEnabled, windowPreviewsEnabled_);
  read.delay(Key::windowPreviewHoverDelay, windowPreviewHoverDelay_, defaultHoverDelay);
  read.tint(Key::customTintColor, customTintColor_);
  read.boolean(Key::showsAdvancedSettings, showsAdvancedSettings_);
  read.enumeration(Key::maximizedWindowBehavior, maximizedWindowBehavior_);
  read.boolean(Key::autohide, autohide_);
  read.enumeration(Key::frontmostClickBehavior, frontmostClickBehavior_);
  read.boolean(Key::windowSwitcherEnabled, windowSwitcherEnabled_);
  read.boolean(Key::switcherUsesCommandTab, switcherUsesCommandTab_);
  read.boolean(Key::opensAtLogin, opensAtLogin_);
  applyAppearance();
}

void Preferences::reload() {
  defaults_.synchronize(PreferenceDomains::application);
  Reader read(defaults_);
  std::vector<Key> differing;
  const auto adopt = [&](auto& field, Key key, auto readInto) {
    auto fresh = field;
    readInto(key, fresh);
    if (!(fresh == field)) {
      field = std::move(fresh);
      differing.push_back(key);
    }
  };
  const auto enumeration = [&](Key key, auto& value) { read.enumeration(key, value); };
  const auto boolean = [&](Key key, bool& value) { read.boolean(key, value); };
  adopt(appearanceMode_, Key::appearanceMode, enumeration);
  adopt(windowDisplayTarget_, Key::windowDisplayTarget, enumeration);
  adopt(runningAppsScope_, Key::runningAppsScope, enumeration);
  adopt(leadingEdgeAction_, Key::leadingEdgeAction, enumeration);
  adopt(trailingEdgeAction_, Key::trailingEdgeAction, enumeration);
  adopt(magnificationEnabled_, Key::magnificationEnabled, boolean);
  adopt(windowPreviewsEnabled_, Key::windowPreviewsEnabled, boolean);
  adopt(windowPreviewHoverDelay_, Key::windowPreviewHoverDelay,
        [&](Key key, double& value) { read.delay(key, value, defaultHoverDelay); });
  adopt(customTintColor_, Key::customTintColor,
        [&](Key key, std::optional<TintColor>& value) { read.tint(key, value); });
  adopt(showsAdvancedSettings_, Key::showsAdvancedSettings, boolean);
  adopt(maximizedWindowBehavior_, Key::maximizedWindowBehavior, enumeration);
  adopt(autohide_, Key::autohide, boolean);
  adopt(frontmostClickBehavior_, Key::frontmostClickBehavior, enumeration);
  adopt(windowSwitcherEnabled_, Key::windowSwitcherEnabled, boolean);
  adopt(switcherUsesCommandTab_, Key::switcherUsesCommandTab, boolean);
  adopt(opensAtLogin_, Key::opensAtLogin, boolean);
  if (std::find(differing.begin(), differing.end(), Key::appearanceMode) != differing.end()) {
    applyAppearance();
  }
  // Told once every value is in place, so an observer reading several sees them all new.
  for (const Key key : differing) {
    changed(key);
  }
}

template <typename T>
void Preferences::assign(T& field, T value, Key key) {
  const bool differs = !(field == value);
  field = std::move(value);
  write(key);  // rewritten even when unchanged
  if (differs) {
    changed(key);
  }
}

void Preferences::write(Key key) {
  const std::string stored = storedKey(key);
  std::optional<PropertyValue> value;
  switch (key) {
    using enum Key;
    case appearanceMode:
      value = PropertyValue(std::string(rawValue(appearanceMode_)));
      break;
    case windowDisplayTarget:
      value = PropertyValue(std::string(rawValue(windowDisplayTarget_)));
      break;
    case runningAppsScope:
      value = PropertyValue(std::string(rawValue(runningAppsScope_)));
      break;
    case leadingEdgeAction:
      value = PropertyValue(std::string(rawValue(leadingEdgeAction_)));
      break;
    case trailingEdgeAction:
      value = PropertyValue(std::string(rawValue(trailingEdgeAction_)));
      break;
    case magnificationEnabled:
      value = PropertyValue(magnificationEnabled_);
      break;
    case windowPreviewsEnabled:
      value = PropertyValue(windowPreviewsEnabled_);
      break;
    case windowPreviewHoverDelay:
      value = PropertyValue(windowPreviewHoverDelay_);
      break;
    case customTintColor:
      if (customTintColor_) {
        const std::string json = customTintColor_->toJson();
        value = PropertyValue(PropertyData(json.begin(), json.end()));
      }
      break;
    case showsAdvancedSettings:
      value = PropertyValue(showsAdvancedSettings_);
      break;
    case maximizedWindowBehavior:
      value = PropertyValue(std::string(rawValue(maximizedWindowBehavior_)));
      break;
    case autohide:
      value = PropertyValue(autohide_);
      break;
    case frontmostClickBehavior:
      value = PropertyValue(std::string(rawValue(frontmostClickBehavior_)));
      break;
    case windowSwitcherEnabled:
      value = PropertyValue(windowSwitcherEnabled_);
      break;
    case switcherUsesCommandTab:
      value = PropertyValue(switcherUsesCommandTab_);
      break;
    case opensAtLogin:
      value = PropertyValue(opensAtLogin_);
      break;
  }
  defaults_.set(PreferenceDomains::application, stored, std::move(value));
}

void Preferences::applyAppearance() {
  switch (appearanceMode_) {
    case AppearanceMode::system:
      appearance_.set(std::nullopt);
      break;
    case AppearanceMode::light:
      appearance_.set(ApplicationAppearance::Name::light);
      break;
    case AppearanceMode::dark:
      appearance_.set(ApplicationAppearance::Name::dark);
      break;
  }
}

void Preferences::changed(Key key) {
  // Registrations are taken out before their callbacks run, so a callback that registers
  // again is kept for the next change, and one dropped meanwhile is never called.
  auto registry = observers_;
  std::vector<std::uint64_t> due;
  for (const auto& [id, registration] : registry->registrations) {
    if (registration.keys.count(key) != 0) {
      due.push_back(id);
    }
  }
  for (auto id : due) {
    auto found = registry->registrations.find(id);
    if (found == registry->registrations.end()) {
      continue;
    }
    auto callback = std::move(found->second.callback);
    registry->registrations.erase(found);
    callback();
  }
}

Subscription Preferences::observeNextChange(std::set<Key> keys, std::function<void()> callback) {
  const auto id = observers_->next++;
  observers_->registrations.emplace(id, Registration{std::move(keys), std::move(callback)});
  std::weak_ptr<Registry> weak = observers_;
  return Subscription([weak, id] {
    if (auto registry = weak.lock()) {
      registry->registrations.erase(id);
    }
  });
}

void Preferences::setAppearanceMode(AppearanceMode value) {
  assign(appearanceMode_, value, Key::appearanceMode);
  applyAppearance();
}
void Preferences::setWindowDisplayTarget(WindowDisplayTarget value) {
  assign(windowDisplayTarget_, value, Key::windowDisplayTarget);
}
void Preferences::setRunningAppsScope(RunningAppsScope value) {
  assign(runningAppsScope_, value, Key::runningAppsScope);
}
void Preferences::setLeadingEdgeAction(DockEdgeAction value) {
  assign(leadingEdgeAction_, value, Key::leadingEdgeAction);
}
void Preferences::setTrailingEdgeAction(DockEdgeAction value) {
  assign(trailingEdgeAction_, value, Key::trailingEdgeAction);
}
void Preferences::setMagnificationEnabled(bool value) {
  assign(magnificationEnabled_, value, Key::magnificationEnabled);
}
void Preferences::setWindowPreviewsEnabled(bool value) {
  assign(windowPreviewsEnabled_, value, Key::windowPreviewsEnabled);
}
void Preferences::setWindowPreviewHoverDelay(double value) {
  assign(windowPreviewHoverDelay_, value, Key::windowPreviewHoverDelay);
}
void Preferences::setCustomTintColor(std::optional<TintColor> value) {
  assign(customTintColor_, std::move(value), Key::customTintColor);
}
void Preferences::setShowsAdvancedSettings(bool value) {
  assign(showsAdvancedSettings_, value, Key::showsAdvancedSettings);
}
void Preferences::setMaximizedWindowBehavior(MaximizedWindowBehavior value) {
  assign(maximizedWindowBehavior_, value, Key::maximizedWindowBehavior);
}
void Preferences::setAutohide(bool value) {
  assign(autohide_, value, Key::autohide);
}
void Preferences::setOpensAtLogin(bool value) {
  assign(opensAtLogin_, value, Key::opensAtLogin);
  // A refusal is the login item's to report; the stored preference stays as assigned.
  (void)loginItem_.setEnabled(value);
}
void Preferences::setFrontmostClickBehavior(FrontmostClickBehavior value) {
  assign(frontmostClickBehavior_, value, Key::frontmostClickBehavior);
}
void Preferences::setWindowSwitcherEnabled(bool value) {
  assign(windowSwitcherEnabled_, value, Key::windowSwitcherEnabled);
}
void Preferences::setSwitcherUsesCommandTab(bool value) {
  assign(switcherUsesCommandTab_, value, Key::switcherUsesCommandTab);
}

RunningAppsScope Preferences::effectiveRunningAppsScope() const {
  return windowDisplayTarget_ == WindowDisplayTarget::allDisplays ? runningAppsScope_
                                                                  : RunningAppsScope::allDisplays;
}

void Preferences::reset() {
  setAppearanceMode(AppearanceMode::system);
  setWindowDisplayTarget(WindowDisplayTarget::allDisplays);
  setRunningAppsScope(RunningAppsScope::allDisplays);
  setLeadingEdgeAction(DockEdgeAction::showDesktop);
  setTrailingEdgeAction(DockEdgeAction::missionControl);
  setMagnificationEnabled(false);
  setWindowPreviewsEnabled(true);
  setWindowPreviewHoverDelay(defaultHoverDelay);
  setCustomTintColor(std::nullopt);
  setShowsAdvancedSettings(false);
  setMaximizedWindowBehavior(MaximizedWindowBehavior::resizeWindow);
  setAutohide(false);
  setFrontmostClickBehavior(FrontmostClickBehavior::doesNothing);
  setWindowSwitcherEnabled(true);
  setSwitcherUsesCommandTab(false);
}

}  // namespace quayline
