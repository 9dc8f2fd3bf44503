#include "windows/WindowRegistry.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "platform/SystemLog.h"
#include "platform/Workspace.h"

namespace quayline {

namespace {

using Kind = WorkspaceNotification::Kind;

template <typename T>
const T* as(const std::optional<AXValue>& value) {
  return value ? std::get_if<T>(&*value) : nullptr;
}

// Equal titles give equal values within one run; nothing is promised across runs.
std::int64_t titleHash(const std::string& title) {
  return static_cast<std::int64_t>(std::hash<std::string>{}(title));
}

std::optional<Rect> frameFrom(const std::optional<AXValue>& position,
                              const std::optional<AXValue>& size) {
  const auto* origin = as<Point>(position);
  const auto* extent = as<Size>(size);
  if (origin == nullptr || extent == nullptr) {
    return std::nullopt;
  }
  return Rect(*origin, *extent);
}

// The attributes read of every window, in one batch so adapters can pipeline the requests.
enum Column : std::size_t {
  subroleColumn,
  titleColumn,
  minimizedColumn,
  mainColumn,
  positionColumn,
  sizeColumn,
  columnCount
};
const std::vector<std::string_view> kWindowAttributes = {AX::subrole, AX::title,    AX::minimized,
                                                         AX::main,    AX::position, AX::size};

}  // namespace

WindowRegistry::WindowRegistry(Workspace& workspace, Accessibility& accessibility,
                               Scheduler& scheduler, SerialQueue& queue, SystemLog& log)
    : workspace_(workspace),
      accessibility_(accessibility),
      scheduler_(scheduler),
      queue_(queue),
      log_(log),
      isTrusted_(accessibility.isProcessTrusted()) {
  workspaceNotifications_ = workspace_.observe([this](const WorkspaceNotification& notification) {
    if (notification.changesApplications()) {
      refresh();
    }
  });
  // A window being dragged reports many changes; those made while an enumeration runs fold
  // into the one that follows it.
  windowChanges_ = accessibility_.observeWindowChanges([this] { refresh(); });
  timer_ = scheduler_.every(Scheduler::Seconds(refreshInterval), [this] { refresh(); });
  refresh();
}

WindowRegistry::~WindowRegistry() = default;

std::vector<AppWindow> WindowRegistry::windows(std::string_view bundleIdentifier) const {
  std::vector<AppWindow> result;
  const auto found = positionsByBundle_.find(bundleIdentifier);
  if (found != positionsByBundle_.end()) {
    result.reserve(found->second.size());
    for (const std::size_t position : found->second) {
      result.push_back(windows_.get()[position]);
    }
  }
  return result;
}

void WindowRegistry::assign(std::vector<AppWindow> windows) {
  if (windows == windows_.get()) {
    return;
  }
  // Observers may ask for one application's windows while they are told of the change.
  positionsByBundle_.clear();
  for (std::size_t position = 0; position < windows.size(); ++position) {
    positionsByBundle_[windows[position].bundleIdentifier].push_back(position);
  }
  windows_.set(std::move(windows));
}

void WindowRegistry::refresh() {
  const bool trusted = accessibility_.isProcessTrusted();
  if (isTrusted_.set(trusted)) {
    log_.log("permission", std::string("accessibility ") + (trusted ? "granted" : "LOST"));
  }
  if (!trusted) {
    assign({});
    return;
  }
  if (refreshInFlight_) {
    refreshQueued_ = true;
    return;
  }
  refreshInFlight_ = true;

  std::vector<Target> targets;
  for (const auto& app : workspace_.runningApplications()) {
    if (app.activationPolicy == ActivationPolicy::regular && app.bundleIdentifier) {
      targets.push_back({app.pid, *app.bundleIdentifier});
    }
  }

  std::weak_ptr<Lifetime> alive = lifetime_;
  queue_.async([alive, targets = std::move(targets), &accessibility = accessibility_,
                &scheduler = scheduler_, this] {
    if (alive.expired()) {
      return;
    }
    std::vector<AppWindow> found = windowsOf(accessibility, targets);
    scheduler.post([alive, this, found = std::move(found)]() mutable {
      // The registry lives and dies on the main thread, where this runs.
      if (!alive.expired()) {
        finish(std::move(found));
      }
    });
  });
}

void WindowRegistry::finish(std::vector<AppWindow> windows) {
  assign(std::move(windows));
  refreshInFlight_ = false;
  if (refreshQueued_) {
    refreshQueued_ = false;
    refresh();
  }
}

std::vector<AppWindow> WindowRegistry::windowsOf(Accessibility& accessibility, ProcessId pid,
                                                 const std::string& bundleIdentifier) {
  return windowsOf(accessibility, {Target{pid, bundleIdentifier}});
}

std::vector<AppWindow> WindowRegistry::windowsOf(Accessibility& accessibility,
                                                 const std::vector<Target>& targets) {
  std::vector<AXElement> applications;
  for (const auto& target : targets) {
    applications.push_back(accessibility.applicationElement(target.pid));
  }
  // Every application's window list at once; an application without an element is not asked.
  std::vector<AXElement> asked;
  for (const auto& application : applications) {
    if (application) {
      asked.push_back(application);
    }
  }
  std::vector<std::vector<std::optional<AXValue>>> lists;
  if (!asked.empty()) {
    lists = accessibility.attributes(asked, {AX::windows});
  }

  // The windows of all applications in one list; each remembers its target and its index in
  // its application's list.
  struct Listed {
    std::size_t target;
    std::size_t index;
  };
  std::vector<AXElement> elements;
  std::vector<Listed> listed;
  std::size_t answer = 0;
  for (std::size_t target = 0; target < targets.size(); ++target) {
    if (!applications[target]) {
      continue;
    }
    const std::size_t at = answer++;
    const auto* list = at < lists.size() && !lists[at].empty()
                           ? as<std::vector<AXElement>>(lists[at][0])
                           : nullptr;
    if (list == nullptr ||
        std::any_of(list->begin(), list->end(), [](const AXElement& e) { return !e; })) {
      continue;  // no windows, or not a list of elements after all
    }
    for (std::size_t index = 0; index < list->size(); ++index) {
      elements.push_back((*list)[index]);
      listed.push_back({target, index});
    }
  }
  if (elements.empty()) {
    return {};
  }

  const auto values = accessibility.attributes(elements, kWindowAttributes);
  std::vector<AppWindow> result;
  for (std::size_t at = 0; at < elements.size(); ++at) {
    const Target& target = targets[listed[at].target];
    const std::size_t index = listed[at].index;
    // A short answer from the adapter reads as attributes that could not be read.
    static const std::vector<std::optional<AXValue>> unreadable(columnCount);
    const auto& row =
        at < values.size() && values[at].size() == columnCount ? values[at] : unreadable;

    const auto* windowSubrole = as<std::string>(row[subroleColumn]);
    if (windowSubrole != nullptr && *windowSubrole != AX::standardWindow &&
        *windowSubrole != AX::dialog) {
      continue;  // floating windows, sheets, system dialogs
    }
    AppWindow window;
    window.pid = target.pid;
    window.bundleIdentifier = target.bundleIdentifier;
    if (const auto* text = as<std::string>(row[titleColumn])) {
      window.title = *text;
    }
    if (const auto* flag = as<bool>(row[minimizedColumn])) {
      window.isMinimized = *flag;
    }
    if (const auto* flag = as<bool>(row[mainColumn])) {
      window.isMain = *flag;
    }
    window.id = std::to_string(target.pid) + ":" + std::to_string(index) + ":" +
                std::to_string(titleHash(window.title));
    window.isDialog = windowSubrole != nullptr && *windowSubrole == AX::dialog;
    window.frame = frameFrom(row[positionColumn], row[sizeColumn]);
    window.element = elements[at];
    result.push_back(std::move(window));
  }
  return result;
}

std::optional<Rect> WindowRegistry::frame(Accessibility& accessibility, const AXElement& element) {
  if (!element) {
    return std::nullopt;
  }
  return frameFrom(accessibility.attribute(element, AX::position),
                   accessibility.attribute(element, AX::size));
}

}  // namespace quayline
