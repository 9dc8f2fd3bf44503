#include "platform/linux/FileSystemFolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace quayline {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

FolderContents::Failure failureFor(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FolderContents::Failure::notFound;
    case EACCES:
    case EPERM:
      return FolderContents::Failure::notAllowed;
    default:
      return FolderContents::Failure::unreadable;
  }
}

// The names a folder's ".hidden" file lists, one per line.
std::unordered_set<std::string> hiddenNames(int folder) {
  std::unordered_set<std::string> names;
  const int file = openat(folder, ".hidden", O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (file < 0) {
    return names;
  }
  std::string contents;
  char buffer[8192];
  // Only a regular file: a FIFO named ".hidden" would block the read.
  struct stat status {};
  if (fstat(file, &status) == 0 && S_ISREG(status.st_mode)) {
    ssize_t count = 0;
    while (contents.size() < FileSystemFolderListing::hiddenFileLimit &&
           (count = read(file, buffer, sizeof buffer)) > 0) {
      contents.append(buffer, static_cast<std::size_t>(count));
    }
  }
  close(file);
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) {
      end = contents.size();
    }
    if (end > start) {
      names.emplace(contents, start, end - start);
    }
    start = end + 1;
  }
  return names;
}

std::string displayName(const char* name) {
  // Most names are already what GLib would show; only the others pay for a conversion.
  static const bool utf8Names = [] {
    const gchar** charsets = nullptr;
    return g_get_filename_charsets(&charsets) != FALSE;
  }();
  if (utf8Names && g_utf8_validate(name, -1, nullptr)) {
    return name;
  }
  gchar* shown = g_filename_display_name(name);
  std::string result = shown != nullptr ? shown : name;
  g_free(shown);
  return result;
}

bool isDirectory(int folder, const dirent& entry) {
  if (entry.d_type == DT_DIR) {
    return true;
  }
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
    return false;
  }
  // Follows links: one that leads nowhere, or round in a loop, is a file.
  struct stat status {};
  return fstatat(folder, entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

FolderContents FileSystemFolderListing::list(const std::string& folderPath) {
  FolderContents contents;
  const int folder = open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    contents.failure = failureFor(errno);
    return contents;
  }
  const std::unique_ptr<DIR, DirCloser> dir(fdopendir(folder));
  if (!dir) {
    contents.failure = failureFor(errno);
    close(folder);
    return contents;
  }
  const std::unordered_set<std::string> hidden = hiddenNames(folder);
  const std::string prefix = folderPath.ends_with('/') ? folderPath : folderPath + '/';
  while (true) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) {
      break;
    }
    const std::string_view name = entry->d_name;
    if (name.starts_with('.') || hidden.contains(std::string(name))) {
      continue;
    }
    contents.entries.push_back(
        {prefix + entry->d_name, displayName(entry->d_name), isDirectory(folder, *entry)});
  }
  // A folder removed while it is read ends its listing early; what was read is kept.
  return contents;
}

std::vector<std::string> FileSystemFolderListing::iconNames(const FolderEntry& entry) {
  if (entry.isDirectory) {
    return {"folder", "inode-directory"};
  }
  const std::size_t slash = entry.path.rfind('/');
  const std::string name = slash == std::string::npos ? entry.path : entry.path.substr(slash + 1);
  std::vector<std::string> names;
  // No data: the type is guessed from the name's patterns alone.
  gchar* type = g_content_type_guess(name.c_str(), nullptr, 0, nullptr);
  if (type != nullptr) {
    if (GIcon* icon = g_content_type_get_icon(type)) {
      if (G_IS_THEMED_ICON(icon)) {
        for (const gchar* const* each = g_themed_icon_get_names(G_THEMED_ICON(icon));
             each != nullptr && *each != nullptr; ++each) {
          names.emplace_back(*each);
        }
      }
      g_object_unref(icon);
    }
    if (gchar* generic = g_content_type_get_generic_icon_name(type)) {
      names.emplace_back(generic);
      g_free(generic);
    }
    g_free(type);
  }
  names.emplace_back("text-x-generic");
  return names;
}

}  // namespace quayline
