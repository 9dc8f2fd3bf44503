#pragma once

#include <string_view>

#include "platform/PrivacyPermissions.h"

namespace quayline::SystemPermissionText {

std::string_view title(SystemPermission permission);
std::string_view description(SystemPermission permission);
// The anchor of the permission's page in the system settings.
std::string_view settingsAnchor(SystemPermission permission);
std::string settingsURL(SystemPermission permission);

}  // namespace quayline::SystemPermissionText
