#include "switcher/SwitcherModel.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "foundation/Fnv.h"
#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "platform/Accessibility.h"
#include "platform/Workspace.h"
#include "windows/WindowRegistry.h"
#include "windows/WindowTitle.h"

namespace quayline {

namespace {

// Keys without an entry were never used: the distant past.
constexpr double kNeverUsed = -std::numeric_limits<double>::infinity();

bool isEligible(const AppWindow& window) {
  return !window.title.empty() ||
         (window.frame && (window.frame->width() != 0 || window.frame->height() != 0));
}

}  // namespace

SwitcherModel::SwitcherModel(WindowRegistry& registry, Workspace& workspace,
                             Accessibility& accessibility, Scheduler& scheduler, SerialQueue& queue)
    : registry_(registry),
      workspace_(workspace),
      accessibility_(accessibility),
      scheduler_(scheduler),
      queue_(queue) {
  windows_ = registry_.observeWindows(
      [this](const std::vector<AppWindow>& windows) { noteFrontmostMainWindow(windows); });
  activations_ = workspace_.observe([this](const WorkspaceNotification& notification) {
    if (notification.kind == WorkspaceNotification::Kind::didActivateApplication &&
        notification.application) {
      noteFocusedWindow(notification.application->pid);
    }
  });
}

std::string SwitcherModel::titleHash(std::string_view title) {
  return fnv1a32Hex(title);
}

std::string SwitcherModel::displayTitle(const AppWindow& window, std::string_view appName) {
  return shortenedTitle(window.title.empty() ? appName : std::string_view(window.title));
}

std::string SwitcherModel::recencyKey(ProcessId pid, const AXElement& element) const {
  if (const auto number = accessibility_.windowNumber(element); number && *number != 0) {
    return "w:" + std::to_string(*number);
  }
  return "e:" + std::to_string(pid) + ":" +
         std::to_string(reinterpret_cast<std::uintptr_t>(element.get()));
}

void SwitcherModel::recordUse(const AppWindow& window) {
  noteUsed(recencyKey(window.pid, window.element));
}

void SwitcherModel::forgetWindow(std::uint32_t number) {
  recency_.erase("w:" + std::to_string(number));
}

void SwitcherModel::noteUsed(const std::string& key) {
  recency_[key] = scheduler_.wallClock();
}

double SwitcherModel::dateOf(const std::string& key) const {
  const auto found = recency_.find(key);
  return found == recency_.end() ? kNeverUsed : found->second;
}

void SwitcherModel::noteFrontmostMainWindow(const std::vector<AppWindow>& windows) {
  const auto frontmost = workspace_.frontmostApplication();
  if (!frontmost) {
    return;
  }
  for (const AppWindow& window : windows) {
    if (window.pid == frontmost->pid && window.isMain) {
      noteUsed(recencyKey(window.pid, window.element));
      return;
    }
  }
}

void SwitcherModel::noteFocusedWindow(ProcessId pid) {
  // The window manager settles focus a moment after the activation.
  focusReads_[pid] = scheduler_.after(Scheduler::Seconds(focusDelay), [this, pid] {
    focusReads_.erase(pid);
    queue_.async([this, pid, weak = std::weak_ptr<int>(lifetime_)] {
      if (weak.expired()) {
        return;
      }
      const auto focused =
          accessibility_.attribute(accessibility_.applicationElement(pid), AX::focusedWindow);
      const AXElement* element = focused ? std::get_if<AXElement>(&*focused) : nullptr;
      if (element == nullptr || !*element) {
        return;
      }
      const std::string key = recencyKey(pid, *element);
      scheduler_.post([this, weak, key] {
        if (weak.lock()) {
          noteUsed(key);
        }
      });
    });
  });
}

std::optional<std::size_t> SwitcherModel::mostRecent(const std::vector<AppWindow>& windows) const {
  std::optional<std::size_t> best;
  double bestDate = kNeverUsed;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const double date = dateOf(recencyKey(windows[i].pid, windows[i].element));
    if (!best || date > bestDate) {
      best = i;
      bestDate = date;
    }
  }
  return best;
}

SwitcherCandidate SwitcherModel::candidate(const AppWindow& window,
                                           const std::vector<RunningApp>& applications) const {
  SwitcherCandidate result;
  result.window = window;
  std::optional<RunningApp> running;
  for (const RunningApp& app : applications) {
    if (app.pid == window.pid) {
      running = app;
      break;
    }
  }
  result.appName =
      running && running->localizedName ? *running->localizedName : window.bundleIdentifier;
  result.bundleURL = running ? running->bundleURL : std::nullopt;
  if (const auto number = accessibility_.windowNumber(window.element); number && *number != 0) {
    result.windowID = *number;
  }
  result.accessibilityIdentifier =
      "switcher:" + std::to_string(window.pid) + ":" + titleHash(window.title);
  result.displayTitle = displayTitle(window, result.appName);
  return result;
}

void SwitcherModel::rebuild(bool sameAppOnly, bool startBackward, std::optional<Rect> within) {
  const std::vector<AppWindow>& windows = registry_.windows();
  noteFrontmostMainWindow(windows);

  std::vector<AppWindow> eligible;
  std::copy_if(windows.begin(), windows.end(), std::back_inserter(eligible), isEligible);
  if (within) {
    // A window whose frame cannot be read is kept rather than lost.
    std::erase_if(eligible, [&](const AppWindow& w) {
      return w.frame && !contains(*within, Point{w.frame->midX(), w.frame->midY()});
    });
  }
  if (sameAppOnly) {
    std::optional<ProcessId> pid;
    if (const auto frontmost = workspace_.frontmostApplication();
        frontmost && std::any_of(eligible.begin(), eligible.end(),
                                 [&](const AppWindow& w) { return w.pid == frontmost->pid; })) {
      pid = frontmost->pid;
    } else if (const auto recent = mostRecent(eligible)) {
      pid = eligible[*recent].pid;
    }
    if (pid) {
      std::erase_if(eligible, [&](const AppWindow& w) { return w.pid != *pid; });
    }
  }

  std::vector<double> dates;
  for (const AppWindow& window : eligible) {
    dates.push_back(dateOf(recencyKey(window.pid, window.element)));
  }
  std::vector<std::size_t> order(eligible.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return dates[a] > dates[b]; });
  std::vector<SwitcherCandidate> candidates;
  // Read once: the workspace builds the list anew on every call.
  const std::vector<RunningApp> applications = workspace_.runningApplications();
  for (const std::size_t index : order) {
    candidates.push_back(candidate(eligible[index], applications));
  }

  std::set<std::string> keys;
  for (const AppWindow& window : windows) {
    keys.insert(recencyKey(window.pid, window.element));
  }
  prune(keys);

  const int count = static_cast<int>(candidates.size());
  candidates_.set(std::move(candidates));
  if (count == 0) {
    selectionIndex_.set(0);
  } else if (startBackward) {
    selectionIndex_.set(count - 1);
  } else {
    selectionIndex_.set(count >= 2 ? 1 : 0);
  }
}

void SwitcherModel::prune(const std::set<std::string>& keys) {
  const double cutoff = scheduler_.wallClock() - forgetAfter;
  std::erase_if(recency_, [&](const auto& entry) {
    return !keys.contains(entry.first) && !(entry.second > cutoff);
  });
}

void SwitcherModel::select(int index) {
  if (index >= 0 && index < static_cast<int>(candidates().size())) {
    selectionIndex_.set(index);
  }
}

void SwitcherModel::cycle(bool forward) {
  const int n = static_cast<int>(candidates().size());
  if (n > 0) {
    selectionIndex_.set((selectionIndex() + (forward ? 1 : -1) + n) % n);
  }
}

void SwitcherModel::move(bool down) {
  const int n = static_cast<int>(candidates().size());
  if (n == 0) {
    return;
  }
  const int step = std::max(columns_, 1);
  const int target = selectionIndex() + (down ? step : -step);
  if (target >= 0 && target < n) {
    selectionIndex_.set(target);
    return;
  }
  const int column = selectionIndex() % step;
  if (down) {
    selectionIndex_.set(column);
    return;
  }
  // The lowest row holding that column.
  selectionIndex_.set(column + ((n - 1 - column) / step) * step);
}

}  // namespace quayline
