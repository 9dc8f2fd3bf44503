#include "platform/linux/SyslogSystemLog.h"

#include "fakes/TemporaryHome.h"

namespace quayline {
namespace {

using SyslogSystemLogTest = TemporaryHome;

TEST_F(SyslogSystemLogTest, EchoesCategorisedLinesToStandardErrorOnlyWhenAsked) {
  ::unsetenv("QUAYLINE_LOG_STDERR");
  {
    SyslogSystemLog log;
    testing::internal::CaptureStderr();
    log.log("dock", "quiet");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
  ::setenv("QUAYLINE_LOG_STDERR", "1", 1);
  SyslogSystemLog log;
  testing::internal::CaptureStderr();
  log.log("dock", "system dock hidden");
  log.console("plain line");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "dock: system dock hidden\nplain line\n");
  ::unsetenv("QUAYLINE_LOG_STDERR");
}

}  // namespace
}  // namespace quayline
