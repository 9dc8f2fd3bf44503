#pragma once

#include <map>
#include <string>
#include <vector>

#include "foundation/Signal.h"
#include "platform/Workspace.h"

namespace quayline {

// Running applications in memory. Records every request; `notify` delivers a notification to
// observers at once (tests stand in for the main thread).
class FakeWorkspace final : public Workspace {
 public:
  std::vector<RunningApp> runningApplications() override { return running; }
  std::optional<RunningApp> frontmostApplication() override;
  std::optional<Url> urlForApplication(std::string_view bundleIdentifier) override;
  std::vector<ArgbImage> applicationIcons(ProcessId pid) override {
    const auto found = icons.find(pid);
    return found == icons.end() ? std::vector<ArgbImage>{} : found->second;
  }

  bool openApplication(const Url& applicationURL) override;
  // Recorded as "openWithArguments": the URL, then the arguments.
  bool openApplication(const Url& applicationURL,
                       const std::vector<std::string>& arguments) override;
  bool openDocuments(const std::vector<Url>& documents, const Url& applicationURL) override;
  bool openURL(const Url& url) override;
  bool revealInFileManager(const std::vector<Url>& urls) override;
  bool activate(ProcessId pid) override;
  bool hide(ProcessId pid) override;
  bool unhide(ProcessId pid) override;
  bool terminate(ProcessId pid) override;

  Subscription observe(std::function<void(const WorkspaceNotification&)> observer) override {
    return notifications_.connect(std::move(observer));
  }
  void notify(WorkspaceNotification::Kind kind, std::optional<RunningApp> app = std::nullopt) {
    notifications_.emit(WorkspaceNotification{kind, std::move(app)});
  }

  // A regular application with a bundle URL under /apps and a launch date.
  RunningApp& addApplication(ProcessId pid, const std::string& bundleIdentifier,
                             const std::string& name, std::optional<double> launchDate = {});

  std::vector<RunningApp> running;
  std::optional<ProcessId> frontmostPid;
  std::map<std::string, Url> installed;  // bundle identifier → application URL
  std::map<ProcessId, std::vector<ArgbImage>> icons;

  struct Request {
    std::string operation;  // "open", "openDocuments", "openURL", "reveal", "activate", ...
    std::vector<std::string> arguments;
    bool operator==(const Request&) const = default;
  };
  std::vector<Request> requests;
  bool failRequests = false;

 private:
  bool record(std::string operation, std::vector<std::string> arguments);
  Signal<WorkspaceNotification> notifications_;
};

}  // namespace quayline
