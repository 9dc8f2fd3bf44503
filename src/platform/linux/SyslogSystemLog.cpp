#include "platform/linux/SyslogSystemLog.h"

#include <syslog.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quayline {

namespace {
// openlog keeps the pointer, so the identifier must outlive every call.
constexpr char identifier[] = "com.orrin.quayline";
static_assert(std::string_view(identifier) == SystemLog::subsystem);

void writeToStandardError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}
}  // namespace

SyslogSystemLog::SyslogSystemLog() {
  const char* echo = std::getenv("QUAYLINE_LOG_STDERR");
  echo_ = echo != nullptr && std::strcmp(echo, "1") == 0;
  ::openlog(identifier, LOG_PID, LOG_USER);
}

SyslogSystemLog::~SyslogSystemLog() {
  ::closelog();
}

void SyslogSystemLog::log(std::string_view category, std::string_view message) {
  std::string line = std::string(category) + ": " + std::string(message);
  ::syslog(LOG_NOTICE, "%s", line.c_str());
  if (echo_) {
    writeToStandardError(line);
  }
}

void SyslogSystemLog::console(std::string_view message) {
  std::string line(message);
  ::syslog(LOG_NOTICE, "%s", line.c_str());
  writeToStandardError(line);
}

}  // namespace quayline
