#include "platform/linux/RecentlyUsedFile.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "foundation/FileReading.h"
#include "platform/SystemLog.h"

namespace quayline {

namespace {

constexpr const char* kLogCategory = "recent";

std::string asciiLowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c);
  });
  return text;
}

// The program a registration's command runs. GLib writes it as one quoted word
// ("'mousepad %u'"), others as a plain command line.
std::string programOf(const char* exec) {
  if (!exec || !*exec) {
    return {};
  }
  std::string command = exec;
  for (int round = 0; round < 2; ++round) {
    gchar** argv = nullptr;
    if (!g_shell_parse_argv(command.c_str(), nullptr, &argv, nullptr)) {
      return {};
    }
    std::string first = argv[0] ? argv[0] : "";
    const bool oneWord = argv[0] && !argv[1];
    g_strfreev(argv);
    if (oneWord && first.find(' ') != std::string::npos && round == 0) {
      command = first;
      continue;
    }
    const auto slash = first.find_last_of('/');
    return slash == std::string::npos ? first : first.substr(slash + 1);
  }
  return {};
}

// Size, change time and inode: enough to tell a rewritten file from the one parsed.
std::optional<std::string> versionOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  return std::to_string(status.st_size) + ":" + std::to_string(status.st_mtim.tv_sec) + "." +
         std::to_string(status.st_mtim.tv_nsec) + ":" + std::to_string(status.st_ino);
}

}  // namespace

std::vector<std::uint32_t> RecentDocumentIndex::documentsFor(
    const std::vector<std::string>& keys) const {
  std::vector<Use> merged;
  for (const std::string& key : keys) {
    if (const auto found = uses.find(key); found != uses.end()) {
      merged.insert(merged.end(), found->second.begin(), found->second.end());
    }
  }
  std::stable_sort(merged.begin(), merged.end(),
                   [](const Use& a, const Use& b) { return a.stamp > b.stamp; });
  std::vector<std::uint32_t> result;
  std::unordered_set<std::uint32_t> seen;
  for (const Use& use : merged) {
    if (seen.insert(use.document).second) {
      result.push_back(use.document);
    }
  }
  return result;
}

RecentDocumentIndex RecentlyUsedFile::parse(const std::string& path, std::string* problem) {
  RecentDocumentIndex index;
  struct stat status {};
  if (stat(path.c_str(), &status) == 0 && static_cast<std::size_t>(status.st_size) > sizeLimit) {
    if (problem) {
      *problem = "recently-used list not read: " + std::to_string(status.st_size) + " bytes";
    }
    return index;
  }
  const auto bytes = readFile(path, sizeLimit);
  if (!bytes) {
    return index;
  }
  GBookmarkFile* file = g_bookmark_file_new();
  GError* error = nullptr;
  if (!g_bookmark_file_load_from_data(file, bytes->data(), bytes->size(), &error)) {
    if (problem) {
      *problem = std::string("recently-used list not read: ") + (error ? error->message : "");
    }
    g_clear_error(&error);
    g_bookmark_file_free(file);
    return index;
  }
  gsize count = 0;
  gchar** uris = g_bookmark_file_get_uris(file, &count);
  index.documents.reserve(count);
  for (gsize i = 0; i < count; ++i) {
    const char* uri = uris[i];
    // Only local files can be opened again and checked for existence.
    gchar* filename =
        g_str_has_prefix(uri, "file:") ? g_filename_from_uri(uri, nullptr, nullptr) : nullptr;
    if (!filename) {
      continue;
    }
    RecentDocument document;
    document.path = filename;
    // Ours to free, like every string the bookmark file hands out.
    gchar* title = g_bookmark_file_get_title(file, uri, nullptr);
    if (title && *title) {
      document.title = title;
    } else {
      gchar* display = g_filename_display_basename(filename);
      document.title = display;
      g_free(display);
    }
    g_free(title);
    g_free(filename);
    GDateTime* modified = g_bookmark_file_get_modified_date_time(file, uri, nullptr);
    const std::int64_t fallbackStamp = modified ? g_date_time_to_unix(modified) * 1000000 : 0;

    const auto documentIndex = static_cast<std::uint32_t>(index.documents.size());
    gsize applicationCount = 0;
    gchar** applications = g_bookmark_file_get_applications(file, uri, &applicationCount, nullptr);
    for (gsize a = 0; a < applicationCount; ++a) {
      gchar* exec = nullptr;
      GDateTime* stamp = nullptr;  // owned by the bookmark file
      g_bookmark_file_get_application_info(file, uri, applications[a], &exec, nullptr, &stamp,
                                           nullptr);
      const RecentDocumentIndex::Use use{
          stamp ? g_date_time_to_unix(stamp) * 1000000 + g_date_time_get_microsecond(stamp)
                : fallbackStamp,
          documentIndex};
      const std::string name = asciiLowercase(applications[a]);
      index.uses[name].push_back(use);
      if (std::string program = asciiLowercase(programOf(exec));
          !program.empty() && program != name) {
        index.uses[program].push_back(use);
      }
      g_free(exec);
    }
    g_strfreev(applications);
    index.documents.push_back(std::move(document));
  }
  g_strfreev(uris);
  g_bookmark_file_free(file);
  for (auto& [key, list] : index.uses) {
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a.stamp > b.stamp; });
  }
  return index;
}

std::string RecentlyUsedFile::defaultPath() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') {
    return std::string(data) + "/recently-used.xbel";
  }
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.local/share/recently-used.xbel";
}

RecentlyUsedFile::RecentlyUsedFile(std::string path, SystemLog& log)
    : path_(std::move(path)), log_(log), index_(std::make_shared<RecentDocumentIndex>()) {
  const QString file = QString::fromStdString(path_);
  const QString folder = QFileInfo(file).absolutePath();
  if (QFileInfo::exists(folder)) {
    watcher_.addPath(folder);
  }
  if (QFileInfo::exists(file)) {
    watcher_.addPath(file);
  }
  QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_,
                   [this](const QString&) { changed(); });
  QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, &watcher_,
                   [this](const QString&) { changed(); });
  changed();
}

RecentlyUsedFile::~RecentlyUsedFile() = default;

std::shared_ptr<const RecentDocumentIndex> RecentlyUsedFile::index() const {
  std::lock_guard lock(mutex_);
  return index_;
}

void RecentlyUsedFile::changed() {
  // A file replaced by a rename is no longer watched: watch the new one.
  const QString file = QString::fromStdString(path_);
  if (!watcher_.files().contains(file) && QFileInfo::exists(file)) {
    watcher_.addPath(file);
  }
  // One parse waiting is enough: it reads the file as it is when it starts.
  if (parseQueued_.exchange(true)) {
    return;
  }
  queue_.async([this] {
    parseQueued_ = false;
    parseIfChanged();
  });
}

void RecentlyUsedFile::parseIfChanged() {
  const auto version = versionOf(path_);
  if (version == parsedVersion_) {
    return;
  }
  parsedVersion_ = version;
  std::string problem;
  auto parsed = std::make_shared<const RecentDocumentIndex>(parse(path_, &problem));
  if (!problem.empty()) {
    log_.log(kLogCategory, problem);
  }
  std::lock_guard lock(mutex_);
  index_ = std::move(parsed);
}

}  // namespace quayline
