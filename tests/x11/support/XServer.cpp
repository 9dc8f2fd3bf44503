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
#include <functional>
#include <optional>
#include <thread>

#include "Processes.h"

namespace quayline::x11test {

namespace fs = std::filesystem;

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

// Managers other than openbox are slow to start on a busy machine (xfwm4 takes seconds).
constexpr auto kWindowManagerTimeout = std::chrono::seconds(30);

bool waitFor(std::chrono::steady_clock::duration timeout, const std::function<bool()>& condition) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < until) {
    if (condition()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

std::optional<xcb_window_t> windowProperty(xcb_connection_t* c, xcb_window_t window,
                                           xcb_atom_t property) {
  auto* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, property, XCB_ATOM_WINDOW, 0, 1), nullptr);
  std::optional<xcb_window_t> value;
  if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
    value = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
  }
  std::free(reply);
  return value;
}

// Whether a manager has taken the screen: the root names its check window, which names itself.
bool supportingWindowManager(const std::string& display) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  bool found = false;
  if (xcb_connection_has_error(c) == 0) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t check = intern(c, "_NET_SUPPORTING_WM_CHECK");
    const auto window = windowProperty(c, root, check);
    found = window && windowProperty(c, *window, check) == window;
  }
  xcb_disconnect(c);
  return found;
}

// Whether a compositing manager owns the screen's selection.
bool compositorRuns(const std::string& display) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  bool found = false;
  if (xcb_connection_has_error(c) == 0) {
    auto* owner = xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, intern(c, "_NET_WM_CM_S0")), nullptr);
    found = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
  }
  xcb_disconnect(c);
  return found;
}

// The pid in the display's lock file: whose server holds the number.
pid_t lockHolder(int number) {
  std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
  long pid = -1;
  lock >> pid;
  return lock ? static_cast<pid_t>(pid) : -1;
}

}  // namespace

std::unique_ptr<XServer> XServer::start(const std::filesystem::path& logDirectory,
                                        WindowManager windowManager,
                                        const std::filesystem::path& authority,
                                        std::string screen) {
  std::unique_ptr<XServer> server(new XServer());
  const std::string size =
      screen.empty() ? std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24" : screen;
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
    std::vector<std::string> arguments{display,   "-nolisten", "tcp", "-noreset",
                                       "-screen", "0",         size};
    if (!authority.empty()) {
      arguments.insert(arguments.end(), {"-auth", authority.string()});
    }
    const pid_t pid = spawnProcess("Xvfb", arguments, (logDirectory / "xvfb.log").string());
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
    if (!server->startWindowManager(logDirectory, windowManager)) {
      return nullptr;  // the destructor stops what started
    }
    return server;
  }
  return nullptr;
}

ScopedVariable::ScopedVariable(const char* name, const std::string& value) : name_(name) {
  if (const char* before = std::getenv(name)) {
    previous_ = before;
  }
  ::setenv(name, value.c_str(), 1);
}

ScopedVariable::~ScopedVariable() {
  if (previous_) {
    ::setenv(name_, previous_->c_str(), 1);
  } else {
    ::unsetenv(name_);
  }
}

std::vector<XServer::WindowManager> XServer::desktops() {
  return {WindowManager::openbox, WindowManager::openboxWithCompositor,
          WindowManager::xfwm4,   WindowManager::metacity,
          WindowManager::fluxbox, WindowManager::icewm};
}

std::string_view XServer::name(WindowManager windowManager) {
  switch (windowManager) {
    case WindowManager::none:
      return "none";
    case WindowManager::openbox:
      return "openbox";
    case WindowManager::openboxWithCompositor:
      return "openbox_picom";
    case WindowManager::xfwm4:
      return "xfwm4";
    case WindowManager::metacity:
      return "metacity";
    case WindowManager::fluxbox:
      return "fluxbox";
    case WindowManager::icewm:
      return "icewm";
  }
  return "unknown";
}

bool XServer::installed(WindowManager windowManager) {
  const auto found = [](const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
  };
  switch (windowManager) {
    case WindowManager::none:
      return true;
    case WindowManager::openbox:
      return found("openbox");
    case WindowManager::openboxWithCompositor:
      return found("openbox") && found("picom");
    case WindowManager::xfwm4:
      return found("xfwm4") && found("dbus-daemon");
    case WindowManager::metacity:
      return found("metacity");
    case WindowManager::fluxbox:
      return found("fluxbox");
    case WindowManager::icewm:
      return found("icewm");
  }
  return false;
}

pid_t XServer::spawn(const std::string& program, const std::vector<std::string>& arguments,
                     const fs::path& log, const std::map<std::string, std::string>& env) {
  // posix_spawn hands the child this process's environment: set it around the call.
  std::map<std::string, std::optional<std::string>> saved;
  auto all = env;
  all["DISPLAY"] = display_;
  for (const auto& [name, value] : all) {
    const char* before = std::getenv(name.c_str());
    saved[name] = before != nullptr ? std::optional<std::string>(before) : std::nullopt;
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  const pid_t pid = spawnProcess(program, arguments, log.string());
  for (const auto& [name, value] : saved) {
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }
  if (pid > 0) {
    helpers_.push_back(pid);
  }
  return pid;
}

std::string XServer::startSessionBus(const fs::path& logDirectory) {
  const fs::path output = logDirectory / "session-bus.log";
  if (spawn("dbus-daemon", {"--session", "--nofork", "--print-address=1"}, output) < 0) {
    return {};
  }
  std::string address;
  waitFor(kStartTimeout, [&] {
    std::ifstream in(output);
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("unix:")) {
        address = line;
        return true;
      }
    }
    return false;
  });
  return address;
}

bool XServer::startWindowManager(const fs::path& logs, WindowManager windowManager) {
  const fs::path log = logs / (std::string(name(windowManager)) + ".log");
  pid_t manager = -1;
  switch (windowManager) {
    case WindowManager::none:
      return true;
    case WindowManager::openbox:
    case WindowManager::openboxWithCompositor: {
      const auto configuration = logs / "openbox-rc.xml";
      std::ofstream(configuration) << kOpenboxConfiguration;
      manager = spawn("openbox", {"--config-file", configuration.string()}, log);
      break;
    }
    case WindowManager::xfwm4: {
      const std::string bus = startSessionBus(logs);
      if (bus.empty()) {
        return false;
      }
      // Its own compositor off, as on the other plain managers; no accessibility bus.
      manager = spawn("xfwm4", {"--compositor=off", "--sm-client-disable"}, log,
                      {{"DBUS_SESSION_BUS_ADDRESS", bus}, {"NO_AT_BRIDGE", "1"}});
      break;
    }
    case WindowManager::metacity:
      // Settings from memory: the defaults, whatever the machine's own are.
      manager = spawn("metacity", {"--compositor=none", "--sm-disable"}, log,
                      {{"GSETTINGS_BACKEND", "memory"}, {"NO_AT_BRIDGE", "1"}});
      break;
    case WindowManager::fluxbox: {
      // A configuration version keeps fluxbox from replacing the file with its defaults.
      const auto init = logs / "fluxbox-init";
      const auto overlay = logs / "fluxbox-overlay";
      std::ofstream(overlay) << "background: none\n";
      std::ofstream(init) << "session.configVersion: 13\n"
                             "session.screen0.toolbar.visible: false\n"
                             "session.screen0.workspaces: 1\n"
                             "session.screen0.focusModel: ClickFocus\n"
                             "session.styleOverlay: "
                          << overlay.string()
                          << "\n"
                             "session.menuFile: /dev/null\n"
                             "session.keyFile: /dev/null\n"
                             "session.appsFile: /dev/null\n";
      // Debian's fluxbox sets its wallpaper through fbsetbg whatever the style says, and without
      // an image viewer that says so in a window that takes the focus: a silent stand-in comes
      // first on its path.
      const auto tools = logs / "fluxbox-bin";
      fs::create_directories(tools);
      std::ofstream(tools / "fbsetbg") << "#!/bin/sh\nexit 0\n";
      fs::permissions(tools / "fbsetbg", fs::perms::owner_all);
      const char* path = std::getenv("PATH");
      manager = spawn("fluxbox", {"-rc", init.string()}, log,
                      {{"PATH", tools.string() + ":" + (path ? path : "/usr/bin:/bin")}});
      break;
    }
    case WindowManager::icewm: {
      const auto folder = logs / "icewm";
      fs::create_directories(folder);
      std::ofstream(folder / "preferences") << "ShowTaskBar=0\nShowWelcome=0\nFocusMode=1\n";
      std::ofstream(folder / "keys") << "";
      std::ofstream(folder / "startup") << "";
      manager = spawn("icewm", {"--config=" + (folder / "preferences").string()}, log,
                      {{"ICEWM_PRIVCFG", folder.string()}});
      break;
    }
  }
  if (manager < 0) {
    return false;
  }
  const bool openbox = windowManager == WindowManager::openbox ||
                       windowManager == WindowManager::openboxWithCompositor;
  if (!waitFor(kWindowManagerTimeout,
               [&] {
                 return !processRuns(manager) ||
                        (openbox ? windowManagerRuns(display_) : supportingWindowManager(display_));
               }) ||
      !processRuns(manager)) {
    return false;
  }
  if (windowManager == WindowManager::openboxWithCompositor) {
    const pid_t compositor =
        spawn("picom", {"--backend", "xrender", "--config", "/dev/null", "--no-vsync"},
              logs / "picom.log");
    return compositor > 0 &&
           waitFor(kStartTimeout,
                   [&] { return !processRuns(compositor) || compositorRuns(display_); }) &&
           processRuns(compositor);
  }
  return true;
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
  for (auto helper = helpers_.rbegin(); helper != helpers_.rend(); ++helper) {
    stopProcess(*helper);
  }
  stopProcess(server_);
}

}  // namespace quayline::x11test
