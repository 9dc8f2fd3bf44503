#include "platform/linux/x11/ProcessInfo.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "foundation/FileReading.h"

namespace quayline::x11::ProcessInfo {

namespace {

// Field 22 of /proc/<pid>/stat, counted from the first field after the command name.
constexpr std::size_t kStartTimeAfterName = 19;

std::optional<double> bootTime() {
  std::ifstream stat("/proc/stat");
  std::string line;
  while (std::getline(stat, line)) {
    if (line.starts_with("btime ")) {
      try {
        return std::stod(line.substr(6));
      } catch (...) {
        return std::nullopt;
      }
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> startTime(ProcessId pid) {
  if (pid <= 0) {
    return std::nullopt;
  }
  // The process may end while it is read: that reads as nothing, never as a failure.
  const std::string content =
      readFile("/proc/" + std::to_string(pid) + "/stat").value_or(std::string());
  // The command name is in parentheses and may itself hold spaces and parentheses.
  const auto close = content.rfind(')');
  if (close == std::string::npos) {
    return std::nullopt;
  }
  std::istringstream fields(content.substr(close + 1));
  std::vector<std::string> values;
  std::string value;
  while (values.size() <= kStartTimeAfterName && fields >> value) {
    values.push_back(value);
  }
  const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
  const auto boot = bootTime();
  if (values.size() <= kStartTimeAfterName || ticksPerSecond <= 0 || !boot) {
    return std::nullopt;
  }
  try {
    const double ticks = std::stod(values[kStartTimeAfterName]);
    return *boot + ticks / static_cast<double>(ticksPerSecond);
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<std::string> executableName(ProcessId pid) {
  if (pid <= 0) {
    return std::nullopt;
  }
  const std::string link = "/proc/" + std::to_string(pid) + "/exe";
  char buffer[4096];
  const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
  if (length <= 0) {
    return std::nullopt;
  }
  std::string path(buffer, static_cast<std::size_t>(length));
  constexpr std::string_view kDeleted = " (deleted)";
  if (path.ends_with(kDeleted)) {
    path.resize(path.size() - kDeleted.size());
  }
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace quayline::x11::ProcessInfo
