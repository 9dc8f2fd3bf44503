#include "chrome/ChromeProfileLabels.h"

#include <algorithm>

#include "foundation/Text.h"

namespace quayline::chrome_labels {

std::string accountLabel(const ChromeProfile& profile) {
  return profile.givenName.empty() ? profile.accountName : profile.givenName;
}

std::string chromeLabel(const ChromeProfile& profile, bool accountNameSharedWithAnotherProfile) {
  const auto account = accountLabel(profile);
  if (account.empty() || account == profile.name) {
    return profile.name;
  }
  if (profile.usesDefaultName && !accountNameSharedWithAnotherProfile) {
    return account;
  }
  return account + " (" + profile.name + ")";
}

std::set<std::string> titleLabels(const ChromeProfile& profile,
                                  bool accountNameSharedWithAnotherProfile) {
  std::set<std::string> labels{chromeLabel(profile, accountNameSharedWithAnotherProfile),
                               profile.name};
  const auto account = accountLabel(profile);
  if (!account.empty() && account != profile.name) {
    labels.insert(account + " (" + profile.name + ")");
  }
  labels.erase("");
  return labels;
}

std::string identityKey(const ChromeProfile& profile) {
  return profile.email.empty() ? "dir:" + profile.directory : text::lowercased(profile.email);
}

LabelMap labelMap(const std::vector<ChromeProfile>& profiles) {
  std::vector<std::string> keys;
  std::vector<std::string> accounts;
  for (const auto& profile : profiles) {
    keys.push_back(identityKey(profile));
    accounts.push_back(accountLabel(profile));
  }
  std::vector<std::set<std::string>> labels;
  std::map<std::string, std::set<std::string>> owners;
  for (std::size_t p = 0; p < profiles.size(); ++p) {
    bool shared = false;
    for (std::size_t q = 0; q < profiles.size() && !accounts[p].empty(); ++q) {
      shared = shared || (keys[q] != keys[p] && accounts[q] == accounts[p]);
    }
    labels.push_back(titleLabels(profiles[p], shared));
    for (const auto& label : labels.back()) {
      owners[label].insert(keys[p]);
    }
  }
  LabelMap result;
  for (const auto& [label, who] : owners) {
    if (who.size() > 1) {
      result.collisions.insert(label);
      continue;
    }
    for (std::size_t p = 0; p < profiles.size(); ++p) {
      if (labels[p].contains(label)) {
        result.byLabel.emplace(label, profiles[p].directory);
        break;
      }
    }
  }
  return result;
}

std::optional<std::string> profileLabel(std::string_view title, std::string_view product) {
  const std::string marker = " - " + std::string(product);
  const auto found = title.rfind(marker);
  if (found == std::string_view::npos) {
    return std::nullopt;
  }
  const auto rest = title.substr(found + marker.size());
  if (!rest.starts_with(" - ") || rest.size() == 3) {
    return std::nullopt;
  }
  return std::string(rest.substr(3));
}

std::optional<std::string> trailingProfileLabel(std::string_view title,
                                                const std::vector<std::string>& knownLabels) {
  std::optional<std::string> best;
  std::size_t bestLength = 0;
  for (const auto& label : knownLabels) {
    if (label.empty() || !title.ends_with(" - " + label)) {
      continue;
    }
    const auto length = text::characterCount(label);
    if (!best || length > bestLength) {
      best = label;
      bestLength = length;
    }
  }
  return best;
}

}  // namespace quayline::chrome_labels
