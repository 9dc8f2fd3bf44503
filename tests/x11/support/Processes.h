#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quayline::x11test {

// Starts a program (no shell) with extra environment variables; its standard output and error
// go to `logFile` (or /dev/null). -1 when it could not be started.
pid_t spawnProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& logFile = "/dev/null", int keepDescriptor = -1);

// Asks the process to end, waits for it, and kills it when it does not end in time. Reaps it
// when it is our child.
void stopProcess(pid_t pid);

// Whether the process still runs (a zombie does not count).
bool processRuns(pid_t pid);

// What a shell command line prints on its standard output.
std::string commandOutput(const std::string& command);

// Ends a process the dock started, which is not the test's child.
struct Launched {
  pid_t pid = -1;
  ~Launched() { stopProcess(pid); }
};

// A private session bus for one test; the daemon is ended when the object goes away.
class SessionBus {
 public:
  SessionBus();
  ~SessionBus() { stopProcess(pid_); }
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  bool started() const { return pid_ > 0 && !address_.empty(); }
  const std::string& address() const { return address_; }
  // Runs a gdbus command line on this bus; its output.
  std::string gdbus(const std::string& arguments) const;

 private:
  std::string address_;
  pid_t pid_ = -1;
};

}  // namespace quayline::x11test
