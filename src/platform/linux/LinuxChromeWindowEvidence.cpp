#include "platform/linux/LinuxChromeWindowEvidence.h"

#include <algorithm>

#include "chrome/SessionAttribution.h"
#include "foundation/Scheduler.h"
#include "platform/Accessibility.h"

namespace quayline {

LinuxChromeWindowEvidence::LinuxChromeWindowEvidence(Services services,
                                                     ChromeInstallation installation)
    : services_(services),
      installation_(std::move(installation)),
      sessions_({services.scheduler, services.queue, services.folders},
                installation_.supportDirectory),
      unsettledUntil_(services.scheduler.monotonic() + settleTime) {
  windowEvents_ = services_.windows.observeWindows(
      [this](const WindowLaunchFacts::Event& event) { handle(event); });
  sessionChanges_ = sessions_.observe([this] { sessionsChanged(); });
}

std::optional<std::string> LinuxChromeWindowEvidence::profileDirectory(const AppWindow& window) {
  browserApplications_.insert(window.pid);
  std::optional<std::string> recorded;
  if (const auto number = services_.accessibility.windowNumber(window.element)) {
    const std::string startupId = services_.windows.startupId(*number);
    if (auto found = profileOfStartupId_.find(startupId);
        !startupId.empty() && found != profileOfStartupId_.end()) {
      return found->second;
    }
    if (auto found = activatedProfile_.find(*number); found != activatedProfile_.end()) {
      recorded = found->second;
    }
  }
  const auto titled = session_attribution::byTitle(window.title, installation_.productName,
                                                   sessions_.snapshot().sessions);
  if (recorded && titled && *recorded != *titled) {
    return std::nullopt;
  }
  return recorded ? recorded : titled;
}

void LinuxChromeWindowEvidence::setProfiles(const std::vector<std::string>& directories) {
  sessions_.follow(directories);
}

Subscription LinuxChromeWindowEvidence::opening(const std::string& directory) {
  opening_ = directory;
  return Subscription([this] { opening_.reset(); });
}

void LinuxChromeWindowEvidence::handle(const WindowLaunchFacts::Event& event) {
  using Kind = WindowLaunchFacts::Event::Kind;
  switch (event.kind) {
    case Kind::launched:
      if (opening_ && !event.startupId.empty()) {
        if (profileOfStartupId_.insert_or_assign(event.startupId, *opening_).second) {
          startupIds_.push_back(event.startupId);
        }
        if (startupIds_.size() > rememberedLaunches) {
          profileOfStartupId_.erase(startupIds_.front());
          startupIds_.pop_front();
        }
      }
      break;
    case Kind::activated:
      activated(event.window, event.application);
      break;
    case Kind::destroyed:
      // Window numbers are handed out again at once: nothing said of this one may stick.
      if (pending_ && pending_->window == event.window) {
        pending_.reset();
        unsettle(services_.scheduler.monotonic());
      }
      if (activatedProfile_.erase(event.window) > 0) {
        changed_.emit();
      }
      break;
  }
}

void LinuxChromeWindowEvidence::unsettle(double now) {
  unsettledUntil_ = std::max(unsettledUntil_, now + settleTime);
}

void LinuxChromeWindowEvidence::activated(std::uint32_t window, ProcessId application) {
  // Another application's window writes no record. Before any browser window is known, any
  // window might be one.
  if (!browserApplications_.empty() && !browserApplications_.contains(application)) {
    return;
  }
  const double now = services_.scheduler.monotonic();
  if (pending_ && now - pending_->at < settleTime) {
    // Two activations whose records are both on their way cannot be told apart.
    pending_.reset();
    unsettle(now);
    return;
  }
  pending_.reset();
  if (now < unsettledUntil_ || !sessions_.settled() || browserApplications_.empty()) {
    unsettle(now);
    return;
  }
  pending_ = Activation{window, sessions_.snapshot(), now};
}

void LinuxChromeWindowEvidence::sessionsChanged() {
  const auto attributed = activatedProfile_;
  // Judged only once every change seen on disk is read: two profiles' records read one after
  // the other would each look like the only one.
  if (pending_ && sessions_.settled()) {
    const auto& now = sessions_.snapshot();
    if (services_.scheduler.monotonic() - pending_->at > settleTime ||
        now.files != pending_->before.files) {
      // Too late to be this activation's record, or a file started afresh: records compared
      // across files prove nothing.
      pending_.reset();
    } else if (auto profile =
                   session_attribution::byActivation(pending_->before.sessions, now.sessions)) {
      const auto known = activatedProfile_.find(pending_->window);
      if (known != activatedProfile_.end() && known->second != *profile) {
        activatedProfile_.erase(known);  // two records disagree: neither is trusted
      } else {
        activatedProfile_[pending_->window] = *profile;
      }
      pending_.reset();
    }
  }
  // Most writes only add records; observers hear of those that can move a window.
  std::map<std::string, std::map<std::int32_t, std::string>> titles;
  for (const auto& [directory, session] : sessions_.snapshot().sessions) {
    titles.emplace(directory, session.selectedTitles);
  }
  if (attributed != activatedProfile_ || titles != titles_) {
    titles_ = std::move(titles);
    changed_.emit();
  }
}

}  // namespace quayline
