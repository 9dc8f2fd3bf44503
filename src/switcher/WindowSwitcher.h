#pragma once

#include <optional>
#include <string_view>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"
#include "platform/Displays.h"
#include "switcher/SwitcherHotkey.h"
#include "switcher/SwitcherLayout.h"
#include "switcher/SwitcherModel.h"

namespace quayline {

class Accessibility;
class SwitcherPanel;
class WindowCapture;
class WindowThumbnailer;

// The keyboard window switcher as a whole: the hotkey's events open a grid of the model's
// candidates on the display under the pointer, move its selection, and on the modifier's release
// bring the chosen window forward. Main thread.
class WindowSwitcher {
 public:
  enum class Shortcut { optionTab, commandTab };
  static std::string_view rawValue(Shortcut shortcut);
  static std::optional<Shortcut> shortcutFromRaw(std::string_view raw);
  static std::uint64_t modifierFor(Shortcut shortcut);

  struct Services {
    GlobalKeyboardHook& hook;
    SwitcherModel& model;
    Workspace& workspace;
    Accessibility& accessibility;
    Displays& displays;
    WindowThumbnailer& thumbnails;
    // Tells when windows are destroyed: their numbers are reused at once.
    WindowCapture& capture;
    SwitcherPanel& panel;
    Scheduler& scheduler;
    SystemLog& log;
  };

  explicit WindowSwitcher(Services services);
  ~WindowSwitcher();
  WindowSwitcher(const WindowSwitcher&) = delete;
  WindowSwitcher& operator=(const WindowSwitcher&) = delete;

  bool isEnabled() const { return isEnabled_; }
  void setEnabled(bool enabled);
  void ensureEnabled();
  Shortcut shortcut() const { return shortcut_; }
  void setShortcut(Shortcut shortcut) { shortcut_ = shortcut; }

  SwitcherHotkey& hotkey() { return hotkey_; }
  SwitcherModel& model() { return s_.model; }
  bool isShown() const { return shown_; }
  const SwitcherLayout& layout() const { return layout_; }

  // The window overview: every window of the display under the pointer, chosen by a click or by
  // the arrow keys and Return, closed by Escape or a click outside; a second call closes it.
  void toggleOverview();
  // A press anywhere on the display (global space, y down) that nothing else took: outside the
  // overview's panel it closes the overview.
  void pressedAt(Point location);

  // The screen whose frame holds the pointer, else the main one, else the first.
  static std::optional<Screen> screenUnderPointer(const std::vector<Screen>& screens,
                                                  std::optional<Screen> main, Point pointer);

 private:
  void handle(const SwitcherHotkeyEvent& event);
  void show(bool sameApp, bool backward);
  void present(const Screen& screen, std::string emptyTitle);
  void hide();
  void commit(int index);
  void pointerOverCard(int index);

  Services s_;
  SwitcherHotkey hotkey_;
  bool isEnabled_ = false;
  Shortcut shortcut_ = Shortcut::optionTab;
  bool shown_ = false;
  SwitcherLayout layout_;
  // Where the pointer rested when the panel appeared: a card under a pointer that has not moved
  // since is not chosen by hovering.
  std::optional<Point> pointerAtShow_;
  bool overview_ = false;
  Rect panelFrame_;
  Subscription destructions_;
};

}  // namespace quayline
