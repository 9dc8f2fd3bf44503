#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "XServer.h"

namespace quayline::x11test {

// The process's test desktop: a temporary home (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME with its
// applications folder, XDG_RUNTIME_DIR), an Xvfb display with openbox, DISPLAY pointing at it and
// a QGuiApplication on it. Set up once per test program, before GLib or Qt read the environment;
// ctest runs every test in a process of its own, so each test gets a display of its own.
class X11Environment : public testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

  static X11Environment& instance();
  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path applicationsFolder() const { return root_ / "data" / "applications"; }
  XServer* server() const { return server_.get(); }

 private:
  std::filesystem::path root_;
  std::unique_ptr<XServer> server_;
};

// Runs the Qt event loop until `condition` holds or `timeout` passes; whether it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The test client program, run on the test display until the object goes away.
class TestClient {
 public:
  explicit TestClient(std::vector<std::string> arguments);
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  pid_t pid() const { return pid_; }
  bool runs() const;
  void stop();

 private:
  pid_t pid_ = -1;
};

// A desktop entry in the test home's applications folder for as long as the object lives. GIO
// notices changed folders asynchronously: both ends wait until its list shows the change.
class InstalledEntry {
 public:
  InstalledEntry(const std::string& fileName, const std::string& contents);
  ~InstalledEntry();
  InstalledEntry(const InstalledEntry&) = delete;
  InstalledEntry& operator=(const InstalledEntry&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The desktop entry text for the test client, started with `arguments`.
std::string clientEntry(const std::string& name, const std::string& arguments,
                        const std::string& startupWMClass = "", bool startupNotify = false);

}  // namespace quayline::x11test
