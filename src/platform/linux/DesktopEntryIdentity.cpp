#include "platform/linux/DesktopEntryIdentity.h"

#include <gio/gio.h>

#include <array>
#include <chrono>
#include <mutex>
#include <optional>
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

constexpr std::string_view kFileManager = "com.apple.finder";
// Reading the default handler means reading the MIME association files; the answer is kept
// this long.
constexpr auto kFileManagerCacheLifetime = std::chrono::seconds(5);

// The desktop-file id of the default handler of folders, the desktop's file manager.
std::optional<std::string> defaultFolderHandler() {
  static std::mutex mutex;
  static std::optional<std::string> cached;
  static std::optional<std::chrono::steady_clock::time_point> readAt;
  std::lock_guard lock(mutex);
  const auto now = std::chrono::steady_clock::now();
  if (readAt && now - *readAt < kFileManagerCacheLifetime) {
    return cached;
  }
  readAt = now;
  cached.reset();
  if (GAppInfo* handler = g_app_info_get_default_for_type("inode/directory", FALSE)) {
    if (const char* id = g_app_info_get_id(handler)) {
      cached = std::string(id);
    }
    g_object_unref(handler);
  }
  return cached;
}

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
  if (const auto fileManager = defaultFolderHandler()) {
    std::string_view handler = *fileManager;
    if (handler.ends_with(kSuffix)) {
      handler.remove_suffix(kSuffix.size());
    }
    if (handler == id) {
      return std::string(kFileManager);
    }
  }
  return std::string(id);
}

}  // namespace quayline::DesktopEntryIdentity
