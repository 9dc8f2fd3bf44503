#include "XServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "Processes.h"

namespace quayline::x11test {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);

// openbox's default configuration binds Alt+Tab; the tests' one binds no keys and no buttons.
constexpr const char* kOpenboxConfiguration = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>2</number><firstdesk>1</firstdesk></desktops>
  <keyboard></keyboard>
  <mouse></mouse>
</openbox_config>
)";

// Whether a window manager has announced itself on the display (_NET_SUPPORTING_WM_CHECK).
bool windowManagerRuns(const std::string& display) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  bool found = false;
  if (xcb_connection_has_error(c) == 0) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const char* name = "_NET_SUPPORTING_WM_CHECK";
    auto* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (atom != nullptr && atom->atom != XCB_ATOM_NONE) {
      auto* property = xcb_get_property_reply(
          c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
      found = property != nullptr && xcb_get_property_value_length(property) == 4;
      std::free(property);
    }
    std::free(atom);
  }
  xcb_disconnect(c);
  return found;
}

}  // namespace

std::unique_ptr<XServer> XServer::start(const std::filesystem::path& logDirectory,
                                        WindowManager windowManager) {
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) {
    return nullptr;
  }
  std::unique_ptr<XServer> server(new XServer());
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
  server->server_ = spawnProcess("Xvfb",
                                 {"-displayfd", std::to_string(pipe[1]), "-nolisten", "tcp", "-noreset",
                                  "-screen", "0", size},
                                 (logDirectory / "xvfb.log").string(), pipe[1]);
  ::close(pipe[1]);
  if (server->server_ < 0) {
    ::close(pipe[0]);
    return nullptr;
  }
  // Xvfb writes the display number once it accepts connections.
  std::string number;
  const auto until = std::chrono::steady_clock::now() + kStartTimeout;
  while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
    pollfd descriptor{pipe[0], POLLIN, 0};
    if (::poll(&descriptor, 1, 100) > 0) {
      char buffer[32];
      const ssize_t length = ::read(pipe[0], buffer, sizeof buffer);
      if (length <= 0) {
        break;
      }
      number.append(buffer, static_cast<std::size_t>(length));
    }
  }
  ::close(pipe[0]);
  if (number.find('\n') == std::string::npos) {
    return nullptr;  // the destructor stops whatever started
  }
  server->display_ = ":" + number.substr(0, number.find('\n'));
  // The number comes a little before the server takes connections.
  bool accepting = false;
  while (!accepting && std::chrono::steady_clock::now() < until) {
    xcb_connection_t* probe = xcb_connect(server->display_.c_str(), nullptr);
    accepting = xcb_connection_has_error(probe) == 0;
    xcb_disconnect(probe);
    if (!accepting) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  if (!accepting) {
    return nullptr;
  }
  if (windowManager == WindowManager::openbox && !server->startOpenbox(logDirectory)) {
    return nullptr;
  }
  return server;
}

bool XServer::startOpenbox(const std::filesystem::path& logDirectory) {
  const auto configuration = logDirectory / "openbox-rc.xml";
  std::ofstream(configuration) << kOpenboxConfiguration;
  const char* previous = std::getenv("DISPLAY");
  const std::string saved = previous != nullptr ? previous : "";
  ::setenv("DISPLAY", display_.c_str(), 1);
  windowManager_ = spawnProcess("openbox", {"--config-file", configuration.string()},
                                (logDirectory / "openbox.log").string());
  if (previous != nullptr) {
    ::setenv("DISPLAY", saved.c_str(), 1);
  } else {
    ::unsetenv("DISPLAY");
  }
  const auto until = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < until) {
    if (windowManagerRuns(display_)) {
      return true;
    }
    if (!processRuns(windowManager_)) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void XServer::kill() {
  if (server_ > 0) {
    ::kill(server_, SIGKILL);
    int status = 0;
    ::waitpid(server_, &status, 0);
    server_ = -1;
  }
}

XServer::~XServer() {
  stopProcess(windowManager_);
  stopProcess(server_);
}

}  // namespace quayline::x11test
