#include "platform/linux/DesktopEntryIdentity.h"

#include <array>
#include <utility>

namespace quayline::DesktopEntryIdentity {

namespace {

constexpr std::string_view kSuffix = ".desktop";

// Desktop entries that stand for the file manager and for the browser whose profiles get
// their own tiles.
constexpr std::array<std::pair<std::string_view, std::string_view>, 14> kAliases{{
    {"org.gnome.Nautilus", "com.apple.finder"},
    {"nautilus", "com.apple.finder"},
    {"org.kde.dolphin", "com.apple.finder"},
    {"thunar", "com.apple.finder"},
    {"org.xfce.Thunar", "com.apple.finder"},
    {"Thunar", "com.apple.finder"},
    {"pcmanfm", "com.apple.finder"},
    {"pcmanfm-qt", "com.apple.finder"},
    {"nemo", "com.apple.finder"},
    {"caja", "com.apple.finder"},
    {"chromium", "com.google.Chrome"},
    {"chromium-browser", "com.google.Chrome"},
    {"google-chrome", "com.google.Chrome"},
    {"com.google.Chrome", "com.google.Chrome"},
}};

}  // namespace

std::string desktopFileId(std::string_view path,
                          const std::vector<std::string>& applicationDirectories) {
  for (std::string directory : applicationDirectories) {
    if (directory.empty()) {
      continue;
    }
    if (directory.back() != '/') {
      directory.push_back('/');
    }
    if (path.starts_with(directory) && path.size() > directory.size()) {
      std::string id(path.substr(directory.size()));
      for (char& c : id) {
        if (c == '/') {
          c = '-';
        }
      }
      return id;
    }
  }
  const auto slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string bundleIdentifier(std::string_view desktopFileId) {
  std::string_view id = desktopFileId;
  if (id.ends_with(kSuffix)) {
    id.remove_suffix(kSuffix.size());
  }
  for (const auto& [entry, alias] : kAliases) {
    if (id == entry) {
      return std::string(alias);
    }
  }
  return std::string(id);
}

}  // namespace quayline::DesktopEntryIdentity
