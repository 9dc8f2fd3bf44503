#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quayline::x11test {

// An Xvfb display of its own, optionally with a window manager (and a compositor) on it, each
// set up with a configuration of the test's own: no panels, bars or wallpapers of their own, no
// key bindings. Everything it started is stopped and reaped when it is destroyed.
class XServer {
 public:
  enum class WindowManager {
    none,
    openbox,
    openboxWithCompositor,
    xfwm4,
    metacity,
    fluxbox,
    icewm
  };
  // Every manager the dock is tested under.
  static std::vector<WindowManager> desktops();
  static std::string_view name(WindowManager windowManager);
  // Whether the programs the manager needs are installed.
  static bool installed(WindowManager windowManager);

  // Nothing when the server did not come up; `logDirectory` receives the programs' output. With
  // an `authority` file the server admits only clients holding one of its cookies (connections
  // find theirs through XAUTHORITY). The screen is kWidth × kHeight unless `screen` says
  // otherwise ("2304x800x24").
  static std::unique_ptr<XServer> start(const std::filesystem::path& logDirectory,
                                        WindowManager windowManager,
                                        const std::filesystem::path& authority = {},
                                        std::string screen = {});
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  const std::string& display() const { return display_; }
  pid_t serverPid() const { return server_; }
  // Ends the X server at once, as a crash would.
  void kill();

  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 800;

 private:
  XServer() = default;
  bool startWindowManager(const std::filesystem::path& logDirectory, WindowManager windowManager);
  // Starts a program on this display with further environment variables; it is stopped with
  // the server.
  pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
              const std::filesystem::path& log, const std::map<std::string, std::string>& env = {});
  // A private session bus (xfwm4 reads its settings through one); its address.
  std::string startSessionBus(const std::filesystem::path& logDirectory);

  std::string display_;
  pid_t server_ = -1;
  std::vector<pid_t> helpers_;  // stopped last to first
};

// Whether openbox runs on the display and has taken over its screen.
bool windowManagerRuns(const std::string& display);

// Sets an environment variable while it lives.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

// Sets DISPLAY for the programs a test starts (and the connections it opens) while it lives.
struct ScopedDisplay : ScopedVariable {
  explicit ScopedDisplay(const std::string& display) : ScopedVariable("DISPLAY", display) {}
};

}  // namespace quayline::x11test
