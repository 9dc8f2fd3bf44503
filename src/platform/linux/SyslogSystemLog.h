#pragma once

#include "platform/SystemLog.h"

namespace quayline {

// syslog(3) under the program's identifier, each line starting with its category. With
// QUAYLINE_LOG_STDERR=1 in the environment every line is also echoed to standard error.
class SyslogSystemLog final : public SystemLog {
 public:
  SyslogSystemLog();
  ~SyslogSystemLog() override;
  SyslogSystemLog(const SyslogSystemLog&) = delete;
  SyslogSystemLog& operator=(const SyslogSystemLog&) = delete;

  void log(std::string_view category, std::string_view message) override;
  // Console lines carry no category; they always reach standard error too.
  void console(std::string_view message) override;

 private:
  bool echo_ = false;
};

}  // namespace quayline
