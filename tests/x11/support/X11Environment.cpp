#include "X11Environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <fstream>

#include "Processes.h"
#include "platform/linux/DesktopEntryIndex.h"

namespace quayline::x11test {

namespace {

X11Environment* current = nullptr;
int argc = 1;
char programName[] = "quayline_x11_tests";
char* argv[] = {programName, nullptr};
QGuiApplication* application = nullptr;

}  // namespace

X11Environment& X11Environment::instance() {
  return *current;
}

void X11Environment::SetUp() {
  current = this;
  root_ = std::filesystem::temp_directory_path() / ("quayline-x11-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root_);
  for (auto [name, folder] : {std::pair{"HOME", "home"},
                              {"XDG_CONFIG_HOME", "config"},
                              {"XDG_DATA_HOME", "data"},
                              {"XDG_CACHE_HOME", "cache"},
                              {"XDG_RUNTIME_DIR", "runtime"},
                              {"QUAYLINE_PREFERENCES_DIR", "prefs"}}) {
    std::filesystem::create_directories(root_ / folder);
    ::setenv(name, (root_ / folder).c_str(), 1);
  }
  ::chmod((root_ / "runtime").c_str(), 0700);
  std::filesystem::create_directories(applicationsFolder());
  std::filesystem::create_directories(root_ / "logs");
  // The tests' children must not reach the session bus of whoever runs the tests.
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  // The dock runs from the build tree, which would otherwise offer to install itself first.
  ::setenv("QUAYLINE_NO_MOVE_PROMPT", "1", 1);

  server_ = XServer::start(root_ / "logs", XServer::WindowManager::openbox);
  ASSERT_NE(server_, nullptr) << "Xvfb and openbox did not start; see " << root_ / "logs";
  ::setenv("DISPLAY", server_->display().c_str(), 1);
  application = new QGuiApplication(argc, argv);
}

void X11Environment::TearDown() {
  // Qt ends the process when its display goes away, so it goes first.
  delete application;
  application = nullptr;
  server_.reset();
  if (!testing::UnitTest::GetInstance()->Failed()) {
    std::filesystem::remove_all(root_);  // kept otherwise, for the programs' logs
  }
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= until) {
      return false;
    }
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

TestClient::TestClient(std::vector<std::string> arguments) {
  pid_ = spawnProcess(QUAYLINE_TEST_CLIENT, arguments,
                      (X11Environment::instance().root() / "logs" / "clients.log").string());
}

TestClient::~TestClient() {
  stop();
}

bool TestClient::runs() const {
  return processRuns(pid_);
}

void TestClient::stop() {
  stopProcess(pid_);
  pid_ = -1;
}

namespace {
bool listed(const std::filesystem::path& path) {
  DesktopEntryIndex index;
  return index.byPath(path.string()).has_value();
}
}  // namespace

InstalledEntry::InstalledEntry(const std::string& fileName, const std::string& contents)
    : path_(X11Environment::instance().applicationsFolder() / fileName) {
  const auto temporary = path_.string() + ".tmp";
  std::ofstream(temporary) << contents;
  std::filesystem::rename(temporary, path_);
  EXPECT_TRUE(waitUntil([&] { return listed(path_); })) << path_;
}

InstalledEntry::~InstalledEntry() {
  std::filesystem::remove(path_);
  EXPECT_TRUE(waitUntil([&] { return !listed(path_); })) << path_;
}

std::string clientEntry(const std::string& name, const std::string& arguments,
                        const std::string& startupWMClass, bool startupNotify) {
  std::string text = "[Desktop Entry]\nType=Application\nName=" + name +
                     "\nExec=" + QUAYLINE_TEST_CLIENT + " " + arguments + "\n";
  if (!startupWMClass.empty()) {
    text += "StartupWMClass=" + startupWMClass + "\n";
  }
  if (startupNotify) {
    text += "StartupNotify=true\n";
  }
  return text;
}

namespace {
// Registered before main runs, so gtest_main sets the desktop up before the first test.
const auto* const registered = testing::AddGlobalTestEnvironment(new X11Environment);
}  // namespace

}  // namespace quayline::x11test
