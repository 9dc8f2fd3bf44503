#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace quayline {

// What a launcher announces when it starts an application that takes part in startup
// notification (its entry says StartupNotify=true).
struct StartupRequest {
  std::string name;
  std::string executable;
  std::string desktopFilePath;
  std::string wmClass;
};

// Starts applications through GIO from their desktop entries, never through a shell. Children get
// /dev/null for their standard streams, so their output never mixes with ours.
class GioLauncher {
 public:
  struct Hooks {
    // The startup id handed to the child (DESKTOP_STARTUP_ID); empty for none.
    std::function<std::string(const StartupRequest&)> startupId;
    // A launch that had been given a startup id did not happen.
    std::function<void(const std::string& startupId)> launchFailed;
  };

  explicit GioLauncher(Hooks hooks);
  ~GioLauncher();
  GioLauncher(const GioLauncher&) = delete;
  GioLauncher& operator=(const GioLauncher&) = delete;

  // Starts the entry at `desktopFilePath`, handing it `uris` as its documents. `spawned` hears
  // the process id of every child started. False when nothing could be started.
  // `arguments` are appended to the entry's command line, quoted as the entry format requires;
  // such a launch always gets a startup id.
  bool launch(const std::string& desktopFilePath, const std::vector<std::string>& uris,
              const std::function<void(ProcessId)>& spawned,
              const std::vector<std::string>& arguments = {});

  // An argument quoted for an Exec line: double quotes around it, with the characters the entry
  // format reserves escaped, and a percent sign doubled so it is no field code.
  static std::string quotedExecArgument(const std::string& argument);

  // The desktop entry of the application that opens `uri` by default.
  std::optional<std::string> handlerForUri(const std::string& uri);
  // The desktop entry of the default application for a content type ("inode/directory").
  std::optional<std::string> handlerForType(const std::string& contentType);

 private:
  Hooks hooks_;
};

}  // namespace quayline
