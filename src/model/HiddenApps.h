#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Published.h"
#include "foundation/Subscription.h"

namespace quayline {

class PreferenceDomains;
class Workspace;

// The applications the user removed from the dock's running section, kept in Quayline's domain.
class HiddenApps {
 public:
  static constexpr std::string_view key = "quayline.hiddenApps";

  HiddenApps(PreferenceDomains& defaults, Workspace& workspace);

  const std::vector<std::string>& bundleIdentifiers() const { return bundleIdentifiers_.get(); }
  Subscription observe(std::function<void(const std::vector<std::string>&)> observer) {
    return bundleIdentifiers_.observe(std::move(observer));
  }
  bool contains(std::string_view bundleIdentifier) const;

  // Appends when not yet listed; the list is written either way.
  void hide(const std::string& bundleIdentifier);
  // Removes every occurrence; the list is written either way.
  void show(const std::string& bundleIdentifier);

  // What the list of hidden applications calls one: its running name, else its installed file's
  // name, else the identifier.
  std::string displayName(const std::string& bundleIdentifier);

 private:
  void store(std::vector<std::string> identifiers);

  PreferenceDomains& defaults_;
  Workspace& workspace_;
  Published<std::vector<std::string>> bundleIdentifiers_;
};

}  // namespace quayline
