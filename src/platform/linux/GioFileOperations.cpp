#include "platform/linux/GioFileOperations.h"

#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/linux/DesktopEntryIdentity.h"
#include "platform/linux/XdgApplicationDirectories.h"

namespace quayline {

namespace {

struct ObjectDeleter {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using File = std::unique_ptr<GFile, ObjectDeleter>;
using DesktopAppInfo = std::unique_ptr<GDesktopAppInfo, ObjectDeleter>;

struct ErrorDeleter {
  void operator()(GError* error) const { g_error_free(error); }
};
using Error = std::unique_ptr<GError, ErrorDeleter>;

std::string normal(std::string_view path) {
  std::string result = std::filesystem::path(path).lexically_normal().string();
  while (result.size() > 1 && result.back() == '/') {
    result.pop_back();
  }
  return result;
}

bool startsWithFolder(std::string_view path, std::string_view folder) {
  return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

// The folder of applications the entry lies in, so it has a desktop-file id; none elsewhere.
bool liesInApplicationsFolder(const std::string& path) {
  for (const std::string& folder : XdgApplicationDirectories::all()) {
    if (startsWithFolder(path, normal(folder))) {
      return true;
    }
  }
  return false;
}

std::string errorText(int error) {
  return std::strerror(error);
}

}  // namespace

namespace FileMoves {

Next afterRename(int error, bool isFolder) {
  switch (error) {
    case 0:
      return Next::done;
    case EXDEV:
      return isFolder ? Next::refuseFolderAcrossFileSystems : Next::moveWithGio;
    // The file system or the kernel has no no-replace rename.
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
      return Next::moveWithGio;
    default:
      return Next::fail;
  }
}

bool isInTrash(std::string_view path, std::string_view homeTrash, unsigned uid) {
  if (path == homeTrash || startsWithFolder(path, homeTrash)) {
    return true;
  }
  const std::string own = ".Trash-" + std::to_string(uid);
  const std::string uidName = std::to_string(uid);
  std::string_view previous;
  for (const auto& part : std::filesystem::path(path)) {
    const std::string name = part.string();
    if (name == own || (previous == ".Trash" && name == uidName)) {
      return true;
    }
    previous = name == ".Trash" ? ".Trash" : "";
  }
  return false;
}

bool isInside(std::string_view destination, std::string_view path) {
  return destination == path || startsWithFolder(destination, path);
}

}  // namespace FileMoves

FileFacts GioFileOperations::facts(const std::string& path) {
  FileFacts facts;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    facts.isDirectory = S_ISDIR(info.st_mode);
  }
  // A desktop entry anywhere else (a download) is no installed application: its file name must
  // not stand for the application of the same id.
  const std::string normalPath = normal(path);
  if (facts.isDirectory == false && normalPath.ends_with(".desktop") &&
      liesInApplicationsFolder(normalPath)) {
    if (DesktopAppInfo entry{g_desktop_app_info_new_from_filename(normalPath.c_str())}) {
      facts.isApplication = true;
      facts.bundleIdentifier = DesktopEntryIdentity::bundleIdentifier(
          DesktopEntryIdentity::desktopFileId(normalPath, XdgApplicationDirectories::all()));
    }
  }
  return facts;
}

FileOperationResult GioFileOperations::moveToTrash(const std::string& path) {
  const std::string homeTrash = normal(std::string(g_get_user_data_dir()) + "/Trash");
  if (FileMoves::isInTrash(normal(path), homeTrash, ::getuid())) {
    return FileOperationResult::failure("already in the Trash");
  }
  const File file(g_file_new_for_path(path.c_str()));
  GError* raw = nullptr;
  // GIO follows the freedesktop Trash (the info file first, a new name on a collision, a file
  // system's own Trash folder) and fails rather than deleting what it cannot trash.
  if (!g_file_trash(file.get(), nullptr, &raw)) {
    const Error error(raw);
    return FileOperationResult::failure(error ? error->message : "not trashed");
  }
  return FileOperationResult::success();
}

FileOperationResult GioFileOperations::moveWithoutReplacing(const std::string& path,
                                                            const std::string& destination) {
  if (FileMoves::isInside(normal(destination), normal(path))) {
    return FileOperationResult::failure("cannot move a folder into itself");
  }
  const int renamed =
      ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE);
  const int error = renamed == 0 ? 0 : errno;
  struct stat info {};
  const bool isFolder = ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  switch (FileMoves::afterRename(error, isFolder)) {
    case FileMoves::Next::done:
      return FileOperationResult::success();
    case FileMoves::Next::refuseFolderAcrossFileSystems:
      return FileOperationResult::failure("folders are not moved to another file system");
    case FileMoves::Next::fail:
      return FileOperationResult::failure(errorText(error));
    case FileMoves::Next::moveWithGio:
      break;
  }
  const File source(g_file_new_for_path(path.c_str()));
  const File target(g_file_new_for_path(destination.c_str()));
  GError* raw = nullptr;
  // Without G_FILE_COPY_OVERWRITE GIO refuses an existing destination; across file systems it
  // copies, then deletes the original only once the copy is complete.
  if (g_file_move(
          source.get(), target.get(),
          static_cast<GFileCopyFlags>(G_FILE_COPY_NOFOLLOW_SYMLINKS | G_FILE_COPY_ALL_METADATA),
          nullptr, nullptr, nullptr, &raw)) {
    return FileOperationResult::success();
  }
  const Error failure(raw);
  const bool existed = failure && g_error_matches(failure.get(), G_IO_ERROR, G_IO_ERROR_EXISTS);
  // A copy cut short (a full disk) leaves a partial file that only this move created, while the
  // original is still whole: take the partial one away.
  struct stat left {};
  if (!existed && ::lstat(path.c_str(), &left) == 0 && !S_ISDIR(left.st_mode) &&
      ::lstat(destination.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
    ::unlink(destination.c_str());
  }
  return FileOperationResult::failure(failure ? failure->message : "not moved");
}

}  // namespace quayline
