#include "system/LoginItemService.h"

#include <gtest/gtest.h>

#include "app/Preferences.h"
#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakeInstallPlace.h"
#include "fakes/FakeLoginItemRegistration.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeSystemLog.h"
#include "system/InstallLocation.h"

namespace quayline {
namespace {

using Status = LoginItemRegistration::Status;
const std::string registerCall = "register /usr/bin/quayline";

class LoginItemServiceTest : public testing::Test {
 protected:
  FakeLoginItemRegistration registration;
  FakeInstallPlace place;
  InstallLocation location{place};
  FakeSystemLog log;
  LoginItemService loginItem{registration, location, log};
  FakePreferenceDomains domains;
  FakeApplicationAppearance appearance;
};

TEST_F(LoginItemServiceTest, SyncAtLaunchFollowsTheSettingAndTheRegistration) {
  struct Row {
    bool opensAtLogin;
    Status status;
    std::vector<std::string> calls;
    bool settingAfter;
  };
  const Row rows[] = {
      {false, Status::notRegistered, {}, false},
      {false, Status::enabled, {"unregister"}, false},
      // Switched off in the desktop's settings and then in ours: the entry goes.
      {false, Status::requiresApproval, {"unregister"}, false},
      {true, Status::notRegistered, {registerCall}, true},
      {true, Status::enabled, {}, true},
      {true, Status::requiresApproval, {}, true},
      // The registration names a program that is gone: the setting turns off and the stale
      // entry is removed.
      {true, Status::notFound, {"unregister"}, false},
  };
  for (const auto& row : rows) {
    domains.seed("com.orrin.quayline", "quayline.opensAtLogin", PropertyValue(row.opensAtLogin));
    Preferences preferences(domains, loginItem, appearance);
    registration.current = row.status;
    registration.calls.clear();
    loginItem.syncWithPreference(preferences);
    EXPECT_EQ(registration.calls, row.calls) << row.opensAtLogin << static_cast<int>(row.status);
    EXPECT_EQ(preferences.opensAtLogin(), row.settingAfter);
  }
}

TEST_F(LoginItemServiceTest, ACopyThatIsNotInstalledRegistersNothingAndSaysWhy) {
  place.copy = {"/home/ada/quayline/build/stage", true};
  EXPECT_FALSE(loginItem.setEnabled(true));
  EXPECT_TRUE(registration.calls.empty());
  EXPECT_EQ(log.consoleLines,
            std::vector<std::string>{
                "Quayline: login item register failed: this copy is not installed: it runs from "
                "a build tree (/home/ada/quayline/build/stage)"});
}

TEST_F(LoginItemServiceTest, RefusalsAreLoggedAndLeaveTheRegistrationAsItWas) {
  registration.error = "Permission denied";
  EXPECT_FALSE(loginItem.setEnabled(true));
  registration.current = Status::enabled;
  EXPECT_FALSE(loginItem.setEnabled(false));
  EXPECT_EQ(registration.current, Status::enabled);
  EXPECT_EQ(log.consoleLines, (std::vector<std::string>{
                                  "Quayline: login item register failed: Permission denied",
                                  "Quayline: login item unregister failed: Permission denied"}));

  // Nothing to do is success without a call.
  registration.error.reset();
  registration.calls.clear();
  EXPECT_TRUE(loginItem.setEnabled(true));
  registration.current = Status::notRegistered;
  EXPECT_TRUE(loginItem.setEnabled(false));
  EXPECT_TRUE(registration.calls.empty());
}

}  // namespace
}  // namespace quayline
