#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Subscription.h"
#include "foundation/Url.h"
#include "platform/ArgbImage.h"
#include "platform/Processes.h"

namespace quayline {

// How an application takes part in the desktop: regular applications have windows and appear
// in the dock; accessory ones (Quayline itself) and background ones never do.
enum class ActivationPolicy { regular, accessory, prohibited };

// One running application, as the workspace reports it.
struct RunningApp {
  ProcessId pid = 0;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> localizedName;
  std::optional<Url> bundleURL;
  std::optional<double> launchDate;  // Unix seconds
  ActivationPolicy activationPolicy = ActivationPolicy::regular;
  bool isHidden = false;
  bool isFinishedLaunching = true;

  bool operator==(const RunningApp&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RunningApp& app);

struct WorkspaceNotification {
  enum class Kind {
    willLaunchApplication,
    didLaunchApplication,
    didTerminateApplication,
    didActivateApplication,
    didHideApplication,
    didUnhideApplication,
    activeSpaceDidChange,
  };
  Kind kind;
  // The application concerned; absent for a change of the active space.
  std::optional<RunningApp> application;

  // Launch, termination, activation, hiding and unhiding: what changes the set of running
  // applications or their state.
  bool changesApplications() const;
};

// The running applications and the operations on them and on files.
class Workspace {
 public:
  virtual ~Workspace() = default;

  // In the workspace's order (the order applications became known).
  virtual std::vector<RunningApp> runningApplications() = 0;
  virtual std::optional<RunningApp> frontmostApplication() = 0;

  // The installed application with this identifier, when there is one.
  virtual std::optional<Url> urlForApplication(std::string_view bundleIdentifier) = 0;
  // The icon the running application shows for itself, in every size it offers; none when it
  // offers none or does not run.
  virtual std::vector<ArgbImage> applicationIcons(ProcessId pid) = 0;

  // Each returns false when the request could not be made. Opening happens asynchronously.
  virtual bool openApplication(const Url& applicationURL) = 0;
  // Starts the application with extra command-line arguments, even when it runs already: an
  // application that keeps one process hands them on to its running self.
  virtual bool openApplication(const Url& applicationURL,
                               const std::vector<std::string>& arguments) = 0;
  virtual bool openDocuments(const std::vector<Url>& documents, const Url& applicationURL) = 0;
  virtual bool openURL(const Url& url) = 0;
  virtual bool revealInFileManager(const std::vector<Url>& urls) = 0;

  // Brings the application forward with all its windows.
  virtual bool activate(ProcessId pid) = 0;
  virtual bool hide(ProcessId pid) = 0;
  virtual bool unhide(ProcessId pid) = 0;
  // Asks the application to quit, as its own Quit command would.
  virtual bool terminate(ProcessId pid) = 0;

  // Notifications are delivered on the main thread.
  virtual Subscription observe(std::function<void(const WorkspaceNotification&)> observer) = 0;
};

}  // namespace quayline
