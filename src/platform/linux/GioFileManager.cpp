#include "platform/linux/GioFileManager.h"

#include <gio/gdesktopappinfo.h>
#include <glib.h>
#include <sys/stat.h>

#include <memory>

#include "platform/linux/DesktopEntryIdentity.h"

namespace quayline {

namespace {

struct ObjectDeleter {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using DesktopAppInfo = std::unique_ptr<GDesktopAppInfo, ObjectDeleter>;

DesktopAppInfo loadEntry(const std::string& path) {
  if (!path.ends_with(".desktop")) {
    return nullptr;
  }
  return DesktopAppInfo(g_desktop_app_info_new_from_filename(path.c_str()));
}

std::string lastComponent(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> applicationDirectories() {
  std::vector<std::string> directories;
  directories.push_back(std::string(g_get_user_data_dir()) + "/applications");
  for (const gchar* const* dir = g_get_system_data_dirs(); *dir != nullptr; ++dir) {
    directories.push_back(std::string(*dir) + "/applications");
  }
  return directories;
}

}  // namespace

std::string GioFileManager::displayName(const std::string& path) {
  if (auto entry = loadEntry(path)) {
    if (const char* name = g_app_info_get_name(G_APP_INFO(entry.get())); name && *name) {
      return name;
    }
  }
  return lastComponent(path);
}

bool GioFileManager::fileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

std::optional<std::string> GioFileManager::bundleIdentifier(const std::string& applicationPath) {
  if (!loadEntry(applicationPath)) {
    return std::nullopt;
  }
  return DesktopEntryIdentity::bundleIdentifier(
      DesktopEntryIdentity::desktopFileId(applicationPath, applicationDirectories()));
}

}  // namespace quayline
