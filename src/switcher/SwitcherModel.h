#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Published.h"
#include "foundation/Subscription.h"
#include "foundation/Url.h"
#include "platform/Workspace.h"
#include "windows/AppWindow.h"

namespace quayline {

class Accessibility;
class Scheduler;
class SerialQueue;
class WindowRegistry;
class Workspace;

// One window the switcher lists.
struct SwitcherCandidate {
  AppWindow window;
  std::optional<std::uint32_t> windowID;  // none when the number cannot be read
  std::string appName;
  std::optional<Url> bundleURL;
  std::string accessibilityIdentifier;  // "switcher:" pid ":" title hash
  std::string displayTitle;

  // The window and its number decide; the rest follows from them.
  bool operator==(const SwitcherCandidate& other) const {
    return window == other.window && windowID == other.windowID;
  }
};

// What the keyboard switcher lists, most recently used first, and which entry is selected. It
// learns which windows were used, in memory only, from the frontmost application's main window
// and from the focused window of each application the user activates. Main thread.
class SwitcherModel {
 public:
  static constexpr std::string_view queueLabel = "quayline.switcher-recency";
  // How long a used window that is gone is remembered.
  static constexpr double forgetAfter = 60;
  // How long after an application's activation its focused window is read.
  static constexpr double focusDelay = 0.2;

  // The queue reads the focused windows; it must finish its tasks before the ports go away.
  SwitcherModel(WindowRegistry& registry, Workspace& workspace, Accessibility& accessibility,
                Scheduler& scheduler, SerialQueue& queue);
  SwitcherModel(const SwitcherModel&) = delete;
  SwitcherModel& operator=(const SwitcherModel&) = delete;

  const std::vector<SwitcherCandidate>& candidates() const { return candidates_.get(); }
  Subscription observeCandidates(std::function<void(const std::vector<SwitcherCandidate>&)> o) {
    return candidates_.observe(std::move(o));
  }
  int selectionIndex() const { return selectionIndex_.get(); }
  Subscription observeSelection(std::function<void(const int&)> observer) {
    return selectionIndex_.observe(std::move(observer));
  }
  // Cards per row of the panel; moving up and down goes by this many.
  void setColumns(int columns) { columns_ = columns; }

  // `within` (global display space, y down) keeps only the windows whose centre lies inside it.
  void rebuild(bool sameAppOnly, bool startBackward, std::optional<Rect> within = std::nullopt);
  void select(int index);
  void cycle(bool forward);
  void move(bool down);

  // The window was just chosen: it leads the next list.
  void recordUse(const AppWindow& window);
  // A destroyed window's number may name a new window at once; its use must not carry over.
  void forgetWindow(std::uint32_t number);

  static std::string titleHash(std::string_view title);
  static std::string displayTitle(const AppWindow& window, std::string_view appName);

  // "w:" and the window's number; "e:" pid ":" element identity when the number is unknown.
  std::string recencyKey(ProcessId pid, const AXElement& element) const;

 private:
  void noteFrontmostMainWindow(const std::vector<AppWindow>& windows);
  void noteFocusedWindow(ProcessId pid);
  void noteUsed(const std::string& key);
  double dateOf(const std::string& key) const;
  std::optional<std::size_t> mostRecent(const std::vector<AppWindow>& windows) const;
  SwitcherCandidate candidate(const AppWindow& window,
                              const std::vector<RunningApp>& applications) const;
  void prune(const std::set<std::string>& keys);

  WindowRegistry& registry_;
  Workspace& workspace_;
  Accessibility& accessibility_;
  Scheduler& scheduler_;
  SerialQueue& queue_;

  Published<std::vector<SwitcherCandidate>> candidates_;
  Published<int> selectionIndex_{0};
  int columns_ = 1;
  std::map<std::string, double> recency_;  // key → wall-clock seconds of last use

  std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
  std::map<ProcessId, Subscription> focusReads_;
  Subscription windows_;
  Subscription activations_;
};

}  // namespace quayline
