#pragma once

#include <string>

#include "platform/LoginItem.h"
#include "platform/LoginItemRegistration.h"

namespace quayline {

class InstallLocation;
class Preferences;
class SystemLog;

// Keeps the system's login registration in line with the "open at login" setting. Only an
// installed copy registers: a copy that would move or vanish (a build tree, removable media, an
// image) would leave an entry pointing nowhere.
class LoginItemService final : public LoginItem {
 public:
  LoginItemService(LoginItemRegistration& registration, InstallLocation& location, SystemLog& log);

  // False when the copy is not installed or the system refused; both are logged and leave the
  // registration as it was. An entry the user switched off in the desktop's settings is left
  // as it is when enabling (only the user can switch it on there) and removed when disabling.
  bool setEnabled(bool enabled) override;
  bool isEnabled() override;
  LoginItemRegistration::Status status() { return registration_.status(); }

  // At launch: registers when the setting asks for it and nothing is registered, unregisters
  // when it does not, and turns the setting off when the registration names a program that is
  // gone.
  void syncWithPreference(Preferences& preferences);

 private:
  void failed(bool enabling, const std::string& why);

  LoginItemRegistration& registration_;
  InstallLocation& location_;
  SystemLog& log_;
};

}  // namespace quayline
