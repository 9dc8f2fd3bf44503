#pragma once

#include <memory>

#include "foundation/Scheduler.h"
#include "platform/Workspace.h"
#include "platform/linux/WindowLaunchFacts.h"

namespace quayline {

class DesktopEntryIndex;
namespace x11 {
class XConnection;
class ActivationHistory;
class WindowApplications;
}  // namespace x11

// The running applications of an X11 desktop: the window manager's clients matched to installed
// desktop entries one window at a time (see matchDesktopEntry) and grouped by process and entry.
// Lives on the main thread, where its notifications are delivered; publishes its grouping to
// `windowApplications` for the accessibility adapter.
//
// A client that does not name its process (no _NET_WM_PID) is grouped with the other windows of
// its X connection, under a pseudo process id above the kernel's largest one (see
// WindowQuery.h). When one process runs several applications, the first keeps the process's id
// and the others get pseudo ids of their own. The accessibility adapter uses the same ids.
class X11Workspace final : public Workspace, public WindowLaunchFacts {
 public:
  X11Workspace(x11::XConnection& connection, x11::ActivationHistory& history,
               DesktopEntryIndex& entries, x11::WindowApplications& windowApplications,
               Scheduler& scheduler);
  ~X11Workspace() override;
  X11Workspace(const X11Workspace&) = delete;
  X11Workspace& operator=(const X11Workspace&) = delete;

  std::vector<RunningApp> runningApplications() override;
  std::optional<RunningApp> frontmostApplication() override;
  std::optional<Url> urlForApplication(std::string_view bundleIdentifier) override;
  // _NET_WM_ICON of the application's main window, else of another of its windows.
  std::vector<ArgbImage> applicationIcons(ProcessId pid) override;

  bool openApplication(const Url& applicationURL) override;
  bool openApplication(const Url& applicationURL,
                       const std::vector<std::string>& arguments) override;
  bool openDocuments(const std::vector<Url>& documents, const Url& applicationURL) override;
  bool openURL(const Url& url) override;
  bool revealInFileManager(const std::vector<Url>& urls) override;

  bool activate(ProcessId pid) override;
  bool hide(ProcessId pid) override;
  bool unhide(ProcessId pid) override;
  bool terminate(ProcessId pid) override;

  Subscription observe(std::function<void(const WorkspaceNotification&)> observer) override;

  std::string startupId(std::uint32_t window) const override;
  Subscription observeWindows(
      std::function<void(const WindowLaunchFacts::Event&)> observer) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quayline
