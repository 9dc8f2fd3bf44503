#pragma once

#include "platform/Workspace.h"
#include "platform/linux/LauncherEntryBadges.h"

namespace quayline {

// A workspace in which the badge tree's system dock runs while it holds its bus name, so the
// badge service finds it as it would find the real one. Requests for that dock fail.
class WithBadgeDock final : public Workspace {
 public:
  WithBadgeDock(Workspace& workspace, const LauncherEntryBadges& badges)
      : workspace_(workspace), badges_(badges) {}

  std::vector<RunningApp> runningApplications() override;
  std::optional<RunningApp> frontmostApplication() override {
    return workspace_.frontmostApplication();
  }
  std::optional<Url> urlForApplication(std::string_view bundleIdentifier) override {
    return workspace_.urlForApplication(bundleIdentifier);
  }
  std::vector<ArgbImage> applicationIcons(ProcessId pid) override {
    return isDock(pid) ? std::vector<ArgbImage>{} : workspace_.applicationIcons(pid);
  }
  bool openApplication(const Url& url) override { return workspace_.openApplication(url); }
  bool openApplication(const Url& url, const std::vector<std::string>& arguments) override {
    return workspace_.openApplication(url, arguments);
  }
  bool openDocuments(const std::vector<Url>& documents, const Url& applicationURL) override {
    return workspace_.openDocuments(documents, applicationURL);
  }
  bool openURL(const Url& url) override { return workspace_.openURL(url); }
  bool revealInFileManager(const std::vector<Url>& urls) override {
    return workspace_.revealInFileManager(urls);
  }
  bool activate(ProcessId pid) override { return isDock(pid) ? false : workspace_.activate(pid); }
  bool hide(ProcessId pid) override { return isDock(pid) ? false : workspace_.hide(pid); }
  bool unhide(ProcessId pid) override { return isDock(pid) ? false : workspace_.unhide(pid); }
  bool terminate(ProcessId pid) override { return isDock(pid) ? false : workspace_.terminate(pid); }
  Subscription observe(std::function<void(const WorkspaceNotification&)> observer) override {
    return workspace_.observe(std::move(observer));
  }

 private:
  static bool isDock(ProcessId pid) { return pid == LauncherEntryBadges::dockPid; }

  Workspace& workspace_;
  const LauncherEntryBadges& badges_;
};

}  // namespace quayline
