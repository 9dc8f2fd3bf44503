#include "settings/IconStyleSettings.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/Workspace.h"

namespace quayline {

namespace {

struct Candidate {
  std::string_view desktop;  // as in XDG_CURRENT_DESKTOP; empty for any desktop
  std::string_view application;
};

constexpr std::array<Candidate, 8> kCandidates{{
    {"GNOME", "org.gnome.tweaks"},
    {"XFCE", "xfce-ui-settings"},
    {"KDE", "kcm_icons"},
    {"MATE", "mate-appearance-properties"},
    {"X-Cinnamon", "cinnamon-settings-themes"},
    {"LXQt", "lxqt-config-appearance"},
    {"LXDE", "lxappearance"},
    {"", "lxappearance"},
}};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool names(std::string_view currentDesktop, std::string_view desktop) {
  while (!currentDesktop.empty()) {
    const auto end = currentDesktop.find(':');
    if (equalsIgnoringCase(currentDesktop.substr(0, end), desktop)) {
      return true;
    }
    currentDesktop =
        end == std::string_view::npos ? std::string_view() : currentDesktop.substr(end + 1);
  }
  return false;
}

}  // namespace

IconStyleSettings::IconStyleSettings(Workspace& workspace, std::string currentDesktop)
    : workspace_(workspace), currentDesktop_(std::move(currentDesktop)) {}

std::vector<std::string_view> IconStyleSettings::candidates(std::string_view currentDesktop) {
  std::vector<std::string_view> result;
  const auto add = [&](std::string_view application) {
    if (std::find(result.begin(), result.end(), application) == result.end()) {
      result.push_back(application);
    }
  };
  for (const Candidate& candidate : kCandidates) {
    if (!candidate.desktop.empty() && names(currentDesktop, candidate.desktop)) {
      add(candidate.application);
    }
  }
  for (const Candidate& candidate : kCandidates) {
    if (candidate.desktop.empty()) {
      add(candidate.application);
    }
  }
  return result;
}

std::optional<Url> IconStyleSettings::application() {
  for (std::string_view candidate : candidates(currentDesktop_)) {
    if (auto url = workspace_.urlForApplication(candidate)) {
      return url;
    }
  }
  return std::nullopt;
}

bool IconStyleSettings::open() {
  const auto url = application();
  return url && workspace_.openApplication(*url);
}

}  // namespace quayline
