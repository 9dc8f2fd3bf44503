#include "XServer.h"

#include <fcntl.h>
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

}  // namespace

// Whether openbox has finished starting: it names its theme on the root window once its
// configuration and theme are loaded, after it took over the screen.
bool windowManagerRuns(const std::string& display) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  bool found = false;
  if (xcb_connection_has_error(c) == 0) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const char* name = "_OB_THEME";
    auto* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (atom != nullptr && atom->atom != XCB_ATOM_NONE) {
      auto* property = xcb_get_property_reply(
          c, xcb_get_property(c, 0, root, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr);
      found = property != nullptr && xcb_get_property_value_length(property) > 0;
      std::free(property);
    }
    std::free(atom);
  }
  xcb_disconnect(c);
  return found;
}

namespace {

// The pid in the display's lock file: whose server holds the number.
pid_t lockHolder(int number) {
  std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
  long pid = -1;
  lock >> pid;
  return lock ? static_cast<pid_t>(pid) : -1;
}

}  // namespace

std::unique_ptr<XServer> XServer::start(const std::filesystem::path& logDirectory,
                                        WindowManager windowManager) {
  std::unique_ptr<XServer> server(new XServer());
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
  // Numbers spread by process id, so parallel test programs rarely try the same one; when they
  // do, the server's lock file decides and the loser tries the next number. (-displayfd races:
  // two servers starting at once can both take display 0's socket.)
  for (int attempt = 0; attempt < 40; ++attempt) {
    const int number = 200 + static_cast<int>((::getpid() * 7 + attempt * 31) % 3000);
    if (lockHolder(number) > 0 ||
        std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) {
      continue;
    }
    const std::string display = ":" + std::to_string(number);
    const pid_t pid =
        spawnProcess("Xvfb", {display, "-nolisten", "tcp", "-noreset", "-screen", "0", size},
                     (logDirectory / "xvfb.log").string());
    if (pid < 0) {
      return nullptr;
    }
    // Ours once the lock names it, ready once it takes connections; a server that ends lost the
    // number to another.
    const auto until = std::chrono::steady_clock::now() + kStartTimeout;
    bool ready = false;
    while (!ready && processRuns(pid) && std::chrono::steady_clock::now() < until) {
      if (lockHolder(number) == pid) {
        xcb_connection_t* probe = xcb_connect(display.c_str(), nullptr);
        ready = xcb_connection_has_error(probe) == 0;
        xcb_disconnect(probe);
      }
      if (!ready) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    if (!ready) {
      stopProcess(pid);
      continue;
    }
    server->server_ = pid;
    server->display_ = display;
    if (windowManager == WindowManager::openbox && !server->startOpenbox(logDirectory)) {
      return nullptr;  // the destructor stops what started
    }
    return server;
  }
  return nullptr;
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
