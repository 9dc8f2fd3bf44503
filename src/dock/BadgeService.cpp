#include "dock/BadgeService.h"

#include <algorithm>

namespace quayline {

BadgeService::BadgeService(Workspace& workspace, Accessibility& accessibility,
                           ApplicationIdentity& identity, Scheduler& scheduler)
    : workspace_(workspace),
      accessibility_(accessibility),
      identity_(identity),
      scheduler_(scheduler) {
  workspaceEvents_ = workspace_.observe([this](const WorkspaceNotification& notification) {
    if (notification.kind == WorkspaceNotification::Kind::didTerminateApplication &&
        notification.application) {
      applicationEnded(*notification.application);
    }
  });
}

void BadgeService::start() {
  if (timer_.active()) {
    return;
  }
  poll();
  timer_ = scheduler_.every(pollInterval, [this] { poll(); });
}

std::optional<std::string> BadgeService::badge(const std::string& bundleIdentifier) const {
  const auto found = badges_.get().find(bundleIdentifier);
  if (found == badges_.get().end()) {
    return std::nullopt;
  }
  return found->second;
}

Subscription BadgeService::observeBadges(std::function<void()> observer) {
  return badges_.observe([observer = std::move(observer)](const Badges&) { observer(); });
}

void BadgeService::poll() {
  const std::vector<RunningApp> running = workspace_.runningApplications();
  reported_ = readBadges(running);
  std::erase_if(leftOver_, [&](const auto& entry) {
    const auto& bundleIdentifier = entry.first;
    const auto& text = entry.second;
    const auto reported = reported_.find(bundleIdentifier);
    const bool runsAgain = std::any_of(running.begin(), running.end(), [&](const RunningApp& app) {
      return app.bundleIdentifier == bundleIdentifier;
    });
    return reported == reported_.end() || reported->second != text || runsAgain;
  });
  badges_.set(shown());
}

void BadgeService::applicationEnded(const RunningApp& ended) {
  if (!ended.bundleIdentifier || !timer_.active()) {
    return;
  }
  const std::vector<RunningApp> running = workspace_.runningApplications();
  const bool anotherRuns = std::any_of(running.begin(), running.end(), [&](const RunningApp& app) {
    return app.pid != ended.pid && app.bundleIdentifier == ended.bundleIdentifier;
  });
  if (anotherRuns) {
    return;
  }
  // Read now rather than use the last poll: the count may have come after it.
  reported_ = readBadges(running);
  if (const auto found = reported_.find(*ended.bundleIdentifier); found != reported_.end()) {
    leftOver_.insert_or_assign(found->first, found->second);
  }
  badges_.set(shown());
}

BadgeService::Badges BadgeService::shown() const {
  Badges result = reported_;
  for (const auto& [bundleIdentifier, text] : leftOver_) {
    result.erase(bundleIdentifier);
  }
  return result;
}

BadgeService::Badges BadgeService::readBadges(const std::vector<RunningApp>& running) {
  std::optional<ProcessId> dock;
  for (const RunningApp& app : running) {
    if (app.bundleIdentifier == systemDockIdentifier) {
      dock = app.pid;
      break;
    }
  }
  if (!dock) {
    return {};
  }
  const AXElement application = accessibility_.applicationElement(*dock);
  if (!application) {
    return {};
  }

  // The tiles sit below containers that hold nothing else; how deep belongs to the system dock.
  std::vector<AXElement> tiles = children(application);
  for (int descents = 0; tiles.size() == 1 && descents < maximumDescent; ++descents) {
    tiles = children(tiles.front());
  }

  Badges result;
  for (const AXElement& tile : tiles) {
    const auto label = accessibility_.attribute(tile, AX::statusLabel);
    const auto* text = label ? std::get_if<std::string>(&*label) : nullptr;
    if (text == nullptr || text->empty()) {
      continue;
    }
    const auto location = accessibility_.attribute(tile, AX::url);
    const auto* url = location ? std::get_if<Url>(&*location) : nullptr;
    if (url == nullptr || !url->isFileURL()) {
      continue;
    }
    const std::string path = url->path();
    if (path.empty()) {
      continue;
    }
    if (auto bundleIdentifier = resolve(path)) {
      result.insert_or_assign(std::move(*bundleIdentifier), *text);
    }
  }
  return result;
}

std::vector<AXElement> BadgeService::children(const AXElement& element) {
  const auto value = accessibility_.attribute(element, AX::children);
  if (!value) {
    return {};
  }
  if (const auto* list = std::get_if<std::vector<AXElement>>(&*value)) {
    return *list;
  }
  return {};
}

std::optional<std::string> BadgeService::resolve(const std::string& path) {
  if (const auto cached = bundleIDsByPath_.find(path); cached != bundleIDsByPath_.end()) {
    return cached->second;
  }
  // Paths that do not resolve are left out of the cache: the application may be installed by
  // the next poll.
  auto bundleIdentifier = identity_.bundleIdentifier(Url::fileURL(path));
  if (bundleIdentifier) {
    bundleIDsByPath_.emplace(path, *bundleIdentifier);
  }
  return bundleIdentifier;
}

}  // namespace quayline
