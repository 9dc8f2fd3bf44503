#include "DockDomain.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "Constants.h"
#include "PropertyListFile.h"

namespace keelguard {

namespace {

std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string homeDirectory() {
  std::string home = environmentValue("HOME");
  if (!home.empty()) {
    return home;
  }
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

// Creates the directory and any missing parents; new ones are private to the user.
bool makeDirectories(const std::string& path) {
  for (size_t end = 1; end <= path.size(); ++end) {
    if (end != path.size() && path[end] != '/') {
      continue;
    }
    std::string prefix = path.substr(0, end);
    if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
  }
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string preferencesDirectory() {
  if (std::string dir = environmentValue("QUAYLINE_PREFERENCES_DIR"); !dir.empty()) {
    return dir;
  }
  // Relative values are invalid under the base-directory convention and ignored, as Quayline's
  // own store does.
  if (std::string config = environmentValue("XDG_CONFIG_HOME"); config.starts_with('/')) {
    return config + "/quayline/preferences";
  }
  return homeDirectory() + "/.config/quayline/preferences";
}

bool writeAutoHideSettings(plist_t values) {
  const std::string directory = preferencesDirectory();
  const std::string path = directory + "/" + std::string(dockDomain) + ".plist";

  // Read right before writing, so nothing another process stored in the domain is lost.
  auto current = readDictionaryFile(path);
  Plist domain = current.status == PropertyListRead::Status::dictionary
                     ? std::move(current.dictionary)
                     : Plist(plist_new_dict());

  for (const char* key : autoHideKeys) {
    plist_t entry = values == nullptr ? nullptr : plist_dict_get_item(values, key);
    if (entry != nullptr) {
      plist_dict_set_item(domain.get(), key, plist_copy(entry));
    } else if (plist_dict_get_item(domain.get(), key) != nullptr) {
      plist_dict_remove_item(domain.get(), key);
    }
  }

  if (!makeDirectories(directory)) {
    return false;
  }
  // An unreadable domain file is set aside rather than overwritten, so nothing is destroyed.
  if (current.status == PropertyListRead::Status::unreadable &&
      ::rename(path.c_str(), (path + ".corrupt").c_str()) != 0) {
    return false;
  }
  return writeXmlFileAtomically(path, domain.get());
}

}  // namespace keelguard
