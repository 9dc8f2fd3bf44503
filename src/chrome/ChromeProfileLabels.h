#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "chrome/ChromeProfile.h"

namespace quayline {

// The names the browser shows for a profile, and how window titles name it.
namespace chrome_labels {

// The signed-in account's given name, else its full name.
std::string accountLabel(const ChromeProfile& profile);
// The label the browser itself puts in titles.
std::string chromeLabel(const ChromeProfile& profile, bool accountNameSharedWithAnotherProfile);
// Every label a title may end with for this profile; never the empty string.
std::set<std::string> titleLabels(const ChromeProfile& profile,
                                  bool accountNameSharedWithAnotherProfile);
// Who a profile belongs to: its e-mail, lower-cased, else its directory.
std::string identityKey(const ChromeProfile& profile);

struct LabelMap {
  std::map<std::string, std::string> byLabel;  // label → directory, unambiguous labels only
  std::set<std::string> collisions;            // labels more than one person uses
};
LabelMap labelMap(const std::vector<ChromeProfile>& profiles);

// The label after the last " - <product>" of a title ("Inbox - Chromium - Work" gives "Work").
std::optional<std::string> profileLabel(std::string_view title, std::string_view product);
// The longest known label the title ends with after " - "; the first met on equal length.
std::optional<std::string> trailingProfileLabel(std::string_view title,
                                                const std::vector<std::string>& knownLabels);

}  // namespace chrome_labels
}  // namespace quayline
