#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>

namespace quayline::x11test {

// An Xvfb display of its own (Xvfb picks a free display number and reports it through
// -displayfd), optionally with openbox managing it. Everything it started is stopped and reaped
// when it is destroyed.
class XServer {
 public:
  enum class WindowManager { none, openbox };

  // Nothing when the server did not come up; `logDirectory` receives the programs' output.
  static std::unique_ptr<XServer> start(const std::filesystem::path& logDirectory,
                                        WindowManager windowManager);
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
  bool startOpenbox(const std::filesystem::path& logDirectory);

  std::string display_;
  pid_t server_ = -1;
  pid_t windowManager_ = -1;
};

// Whether openbox runs on the display and has taken over its screen.
bool windowManagerRuns(const std::string& display);

}  // namespace quayline::x11test
