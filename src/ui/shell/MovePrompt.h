#pragma once

#include <functional>
#include <string>

namespace quayline {

class InstallLocation;
class Relaunch;
class Workspace;

// The launch's offer to install a copy that runs from a place it cannot stay (a build tree,
// removable media, an image), then reopen the installed copy.
class MovePrompt {
 public:
  struct Services {
    InstallLocation& location;
    Relaunch& relaunch;
    Workspace& workspace;  // reveals the running copy
    // Ends the application in order, once its event loop runs.
    std::function<void()> quit;
    // Off where a build tree runs on purpose (the tests, scripts/run).
    bool offered = true;
  };

  explicit MovePrompt(Services services) : services_(std::move(services)) {}

  // Shows the prompt when the copy is not installed; true when it did, and the launch then
  // shows no onboarding. "Move and Reopen" installs and relaunches; "Quit" ends the program.
  bool presentIfNeeded();
  // A relaunch whose new copy did not start: this copy stays and says why.
  static void relaunchFailed(const std::string& message);

 private:
  void moveFailed(const std::string& message);

  Services services_;
};

}  // namespace quayline
