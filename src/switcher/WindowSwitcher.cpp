#include "switcher/WindowSwitcher.h"

#include <cmath>

#include "platform/Accessibility.h"
#include "platform/SystemLog.h"
#include "platform/WindowCapture.h"
#include "platform/Workspace.h"
#include "previews/WindowThumbnailer.h"
#include "switcher/SwitcherPanel.h"

namespace quayline {

std::string_view WindowSwitcher::rawValue(Shortcut shortcut) {
  return shortcut == Shortcut::commandTab ? "commandTab" : "optionTab";
}

std::optional<WindowSwitcher::Shortcut> WindowSwitcher::shortcutFromRaw(std::string_view raw) {
  if (raw == "optionTab") {
    return Shortcut::optionTab;
  }
  if (raw == "commandTab") {
    return Shortcut::commandTab;
  }
  return std::nullopt;
}

std::uint64_t WindowSwitcher::modifierFor(Shortcut shortcut) {
  return shortcut == Shortcut::commandTab ? ModifierFlag::command : ModifierFlag::option;
}

WindowSwitcher::WindowSwitcher(Services services)
    : s_(services), hotkey_(s_.hook, s_.scheduler, s_.log) {
  hotkey_.setModifier(modifierFor(shortcut_));
  // The hotkey lives inside this object, so its handler never outlives it.
  hotkey_.handler = [this](const SwitcherHotkeyEvent& event) { handle(event); };
  s_.panel.setEvents(
      {[this](int index) { pointerOverCard(index); }, [this](int index) { commit(index); }});
  destructions_ =
      s_.capture.observeDestruction([this](WindowNumber window) { s_.model.forgetWindow(window); });
}

WindowSwitcher::~WindowSwitcher() {
  s_.panel.setEvents({});
}

void WindowSwitcher::setEnabled(bool enabled) {
  isEnabled_ = enabled;
  if (!enabled) {
    hotkey_.stop();
    hide();
    return;
  }
  s_.panel.prepare();
  hotkey_.enable();
}

void WindowSwitcher::ensureEnabled() {
  if (isEnabled_) {
    hotkey_.ensureEnabled();
  }
}

std::optional<Screen> WindowSwitcher::screenUnderPointer(const std::vector<Screen>& screens,
                                                         std::optional<Screen> main,
                                                         Point pointer) {
  for (const Screen& screen : screens) {
    if (contains(screen.frame, pointer)) {
      return screen;
    }
  }
  if (main) {
    return main;
  }
  if (!screens.empty()) {
    return screens.front();
  }
  return std::nullopt;
}

void WindowSwitcher::handle(const SwitcherHotkeyEvent& event) {
  using Kind = SwitcherHotkeyEvent::Kind;
  switch (event.kind) {
    case Kind::begin:
      show(event.sameApp, event.backward);
      return;
    case Kind::cycle:
      s_.model.cycle(event.forward);
      return;
    case Kind::move:
      s_.model.move(event.down);
      return;
    case Kind::commit:
      commit(s_.model.selectionIndex());
      return;
    case Kind::cancel:
      hide();
      return;
  }
}

void WindowSwitcher::show(bool sameApp, bool backward) {
  const Point pointer = s_.displays.pointerLocation();
  const auto screen = screenUnderPointer(s_.displays.screens(), s_.displays.mainScreen(), pointer);
  if (!screen) {
    return;
  }
  s_.model.rebuild(sameApp, backward);
  hotkey_.setSessionActive(true);
  present(*screen, "No windows");
}

void WindowSwitcher::toggleOverview() {
  if (shown_) {
    hide();
    return;
  }
  const Point pointer = s_.displays.pointerLocation();
  const auto screen = screenUnderPointer(s_.displays.screens(), s_.displays.mainScreen(), pointer);
  if (!screen) {
    return;
  }
  if (!hotkey_.beginOverview()) {
    s_.log.log("switcher", "overview: the keyboard is held elsewhere; a click still chooses");
  }
  s_.model.rebuild(false, false, s_.displays.displayBounds(screen->displayNumber));
  // The window in front comes first and is the one Return brings back.
  s_.model.select(0);
  overview_ = true;
  present(*screen, "No windows on this display");
}

void WindowSwitcher::pressedAt(Point location) {
  if (!shown_ || !overview_) {
    return;
  }
  const auto screens = s_.displays.screens();
  const double primaryMaxY = screens.empty() ? 0 : screens.front().frame.maxY();
  if (!contains(panelFrame_, Point{location.x, primaryMaxY - location.y})) {
    hide();
  }
}

void WindowSwitcher::present(const Screen& screen, std::string emptyTitle) {
  const Point pointer = s_.displays.pointerLocation();
  const auto& candidates = s_.model.candidates();
  const int count = static_cast<int>(candidates.size());
  layout_ = SwitcherLayout::fitting(count, screen.visibleFrame);
  s_.model.setColumns(layout_.columns);

  std::vector<WindowNumber> windows;
  for (const SwitcherCandidate& candidate : candidates) {
    if (candidate.windowID) {
      windows.push_back(*candidate.windowID);
    }
  }
  const Size thumbnail = layout_.thumbnailSize();
  s_.thumbnails.refresh(windows, thumbnail, screen.backingScaleFactor);

  shown_ = true;
  pointerAtShow_ = pointer;
  SwitcherPresentation presentation;
  presentation.frame = layout_.panelFrame(count, screen.visibleFrame);
  panelFrame_ = presentation.frame;
  presentation.layout = layout_;
  presentation.backingScale = screen.backingScaleFactor;
  presentation.emptyTitle = std::move(emptyTitle);
  presentation.emptyDetail = s_.accessibility.isProcessTrusted()
                                 ? "Open a window, then try again."
                                 : "Allow Accessibility for Quayline to list windows.";
  s_.panel.present(presentation);
}

void WindowSwitcher::hide() {
  hotkey_.setSessionActive(false);
  shown_ = false;
  overview_ = false;
  pointerAtShow_.reset();
  s_.thumbnails.cancel();
  if (s_.panel.isVisible()) {
    s_.panel.dismiss();
  }
}

void WindowSwitcher::commit(int index) {
  const auto& candidates = s_.model.candidates();
  std::optional<SwitcherCandidate> chosen;
  if (index >= 0 && index < static_cast<int>(candidates.size())) {
    chosen = candidates[static_cast<std::size_t>(index)];
  }
  hide();
  if (!chosen) {
    return;
  }
  const AppWindow& window = chosen->window;
  if (window.isMinimized) {
    s_.accessibility.setAttribute(window.element, AX::minimized, AXValue(false));
  }
  s_.accessibility.performAction(window.element, AX::raise);
  s_.workspace.activate(window.pid);
  s_.model.recordUse(window);
}

void WindowSwitcher::pointerOverCard(int index) {
  // A panel that appears under a resting pointer is entered without any movement; only a
  // pointer really moved since chooses by hovering.
  if (!shown_ || (pointerAtShow_ && s_.displays.pointerLocation() == *pointerAtShow_)) {
    return;
  }
  pointerAtShow_.reset();
  s_.model.select(index);
}

}  // namespace quayline
