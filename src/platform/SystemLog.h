#pragma once

#include <string_view>

namespace quayline {

// The system log, with the program's bundle identifier as subsystem and a category per line.
class SystemLog {
 public:
  static constexpr std::string_view subsystem = "com.orrin.quayline";

  virtual ~SystemLog() = default;
  virtual void log(std::string_view category, std::string_view message) = 0;
  // Lines that go to the console instead of the system log.
  virtual void console(std::string_view message) = 0;
};

}  // namespace quayline
