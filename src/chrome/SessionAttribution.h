#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "chrome/SessionFile.h"

namespace quayline {

// Which profile a browser window belongs to, from the profiles' session files, where titles do
// not say. Each rule names a profile only when exactly one fits; otherwise the window stays
// unattributed rather than risk a wrong profile.
namespace session_attribution {

using Sessions = std::map<std::string, SessionState>;  // profile directory → its session

// After a window was activated: the one profile whose session gained an active-window record
// since `before`, the sessions as they were at the activation.
std::optional<std::string> byActivation(const Sessions& before, const Sessions& after);

// The one profile with a window whose selected tab's title is the window's page title (the
// title without its trailing " - <product>").
std::optional<std::string> byTitle(std::string_view windowTitle, std::string_view product,
                                   const Sessions& sessions);

}  // namespace session_attribution
}  // namespace quayline
