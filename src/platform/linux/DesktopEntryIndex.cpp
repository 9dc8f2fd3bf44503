#include "platform/linux/DesktopEntryIndex.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/linux/DesktopEntryIdentity.h"

namespace quayline {

namespace {

constexpr auto kCheckInterval = std::chrono::seconds(2);
// GIO notices changed folders through its own file monitors, shortly after we do: a folder that
// just changed is read once more a little later.
constexpr auto kSettleDelay = std::chrono::seconds(2);
constexpr auto kReloadInterval = std::chrono::seconds(60);

std::string baseName(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::vector<std::string> applicationDirectories() {
  std::vector<std::string> directories;
  directories.push_back(std::string(g_get_user_data_dir()) + "/applications");
  for (const gchar* const* dir = g_get_system_data_dirs(); *dir != nullptr; ++dir) {
    directories.push_back(std::string(*dir) + "/applications");
  }
  return directories;
}

// Whether every argument after the program is a field code (%f, %U, …).
bool passesOnlyFieldCodes(const char* commandLine) {
  if (commandLine == nullptr) {
    return true;
  }
  gint argc = 0;
  gchar** argv = nullptr;
  if (!g_shell_parse_argv(commandLine, &argc, &argv, nullptr)) {
    return false;
  }
  bool plain = true;
  for (gint i = 1; i < argc && plain; ++i) {
    const std::string_view argument = argv[i];
    plain = argument.size() == 2 && argument[0] == '%';
  }
  g_strfreev(argv);
  return plain;
}

std::optional<DesktopEntry> entryFrom(GDesktopAppInfo* desktop, const char* id) {
  auto* info = G_APP_INFO(desktop);
  const char* path = g_desktop_app_info_get_filename(desktop);
  if (id == nullptr || path == nullptr) {
    return std::nullopt;
  }
  DesktopEntry entry;
  entry.desktopFileId = id;
  entry.bundleIdentifier = DesktopEntryIdentity::bundleIdentifier(id);
  entry.path = path;
  if (const char* name = g_app_info_get_name(info)) {
    entry.name = name;
  }
  if (const char* wmClass = g_desktop_app_info_get_startup_wm_class(desktop)) {
    entry.startupWMClass = wmClass;
  }
  if (const char* executable = g_app_info_get_executable(info)) {
    entry.executable = baseName(executable);
  }
  entry.noDisplay = g_desktop_app_info_get_nodisplay(desktop);
  entry.plainCommand = passesOnlyFieldCodes(g_app_info_get_commandline(info));
  return entry;
}

std::vector<DesktopEntry> loadEntries() {
  std::vector<DesktopEntry> entries;
  GList* all = g_app_info_get_all();
  for (GList* item = all; item != nullptr; item = item->next) {
    auto* info = static_cast<GAppInfo*>(item->data);
    if (!G_IS_DESKTOP_APP_INFO(info)) {
      continue;
    }
    if (auto entry = entryFrom(G_DESKTOP_APP_INFO(info), g_app_info_get_id(info))) {
      entries.push_back(std::move(*entry));
    }
  }
  g_list_free_full(all, g_object_unref);
  // GIO lists in hash order; sorting makes ties between entries resolve the same way every run.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const DesktopEntry& a, const DesktopEntry& b) {
                     return a.desktopFileId < b.desktopFileId;
                   });
  return entries;
}

template <typename Predicate>
std::optional<DesktopEntry> first(const std::vector<DesktopEntry>& entries, Predicate predicate) {
  for (const DesktopEntry& entry : entries) {
    if (predicate(entry)) {
      return entry;
    }
  }
  return std::nullopt;
}

}  // namespace

DesktopEntryIndex::DesktopEntryIndex() {
  reload();
}

void DesktopEntryIndex::reload() {
  auto entries = loadEntries();
  auto times = directoryTimes();
  std::lock_guard lock(mutex_);
  entries_ = std::move(entries);
  times_ = std::move(times);
  loadedAt_ = checkedAt_ = Clock::now();
}

std::map<std::string, std::optional<std::int64_t>> DesktopEntryIndex::directoryTimes() const {
  std::map<std::string, std::optional<std::int64_t>> times;
  for (const std::string& directory : applicationDirectories()) {
    struct stat info {};
    if (::stat(directory.c_str(), &info) == 0) {
      times[directory] =
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    } else {
      times[directory] = std::nullopt;
    }
  }
  return times;
}

void DesktopEntryIndex::refreshIfStale() {
  const auto now = Clock::now();
  bool settling = false;
  {
    std::lock_guard lock(mutex_);
    settling = reloadAgainAt_ && now >= *reloadAgainAt_;
    if (!settling && now - checkedAt_ < kCheckInterval) {
      return;
    }
    checkedAt_ = now;
  }
  auto times = directoryTimes();
  bool changed = false;
  bool expired = false;
  {
    std::lock_guard lock(mutex_);
    changed = times != times_;
    expired = now - loadedAt_ >= kReloadInterval;
  }
  if (!changed && !expired && !settling) {
    return;
  }
  reload();
  std::lock_guard lock(mutex_);
  if (changed) {
    reloadAgainAt_ = now + kSettleDelay;
  } else {
    reloadAgainAt_.reset();
  }
}

std::optional<DesktopEntry> DesktopEntryIndex::match(const ClientIdentity& client) {
  refreshIfStale();
  std::lock_guard lock(mutex_);
  if (const DesktopEntry* found = matchDesktopEntry(entries_, client)) {
    return *found;
  }
  return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntryIndex::read(const std::string& path,
                                                    const std::string& desktopFileId) {
  GDesktopAppInfo* desktop = g_desktop_app_info_new_from_filename(path.c_str());
  if (desktop == nullptr) {
    return std::nullopt;
  }
  auto entry = entryFrom(desktop, desktopFileId.c_str());
  g_object_unref(desktop);
  return entry;
}

std::optional<DesktopEntry> DesktopEntryIndex::byBundleIdentifier(
    std::string_view bundleIdentifier) {
  refreshIfStale();
  std::lock_guard lock(mutex_);
  return first(entries_,
               [&](const DesktopEntry& e) { return e.bundleIdentifier == bundleIdentifier; });
}

std::optional<DesktopEntry> DesktopEntryIndex::byPath(std::string_view path) {
  refreshIfStale();
  std::lock_guard lock(mutex_);
  return first(entries_, [&](const DesktopEntry& e) { return e.path == path; });
}

std::optional<DesktopEntry> DesktopEntryIndex::byApplicationId(std::string_view applicationId) {
  refreshIfStale();
  std::lock_guard lock(mutex_);
  if (const DesktopEntry* found = entryNamed(entries_, applicationId)) {
    return *found;
  }
  return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntryIndex::byExecutableOrName(std::string_view executable,
                                                                  std::string_view name) {
  refreshIfStale();
  std::lock_guard lock(mutex_);
  const std::string program = baseName(executable);
  if (const DesktopEntry* found = entryRunning(entries_, program)) {
    return *found;
  }
  if (!name.empty()) {
    return first(entries_, [&](const DesktopEntry& e) { return e.name == name; });
  }
  return std::nullopt;
}

}  // namespace quayline
