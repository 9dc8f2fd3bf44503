#pragma once

#include <vector>

#include "platform/PrivacyPermissions.h"

namespace quayline {

// Permissions held in memory; records requests and settings pages asked for.
class FakePrivacyPermissions final : public PrivacyPermissions {
 public:
  PermissionCheck check() override {
    ++checks;
    return state;
  }
  void request(SystemPermission permission) override { requests.push_back(permission); }
  void openSettings(SystemPermission permission) override { settingsOpened.push_back(permission); }

  void grant(SystemPermission permission) { state.granted.insert(permission); }

  PermissionCheck state;
  int checks = 0;
  std::vector<SystemPermission> requests;
  std::vector<SystemPermission> settingsOpened;
};

}  // namespace quayline
