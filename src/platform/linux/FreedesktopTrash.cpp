#include "platform/linux/FreedesktopTrash.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <set>
#include <sstream>
#include <string_view>

#include "foundation/FileReading.h"
#include "foundation/Url.h"
#include "platform/Workspace.h"
#include "system/AtomicFile.h"

namespace quayline {

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr std::string_view kTrashUri = "trash:///";

// Pseudo and network file systems, which hold no trash of their own.
const std::set<std::string, std::less<>>& nonLocalTypes() {
  static const std::set<std::string, std::less<>> types{"proc",
                                                        "sysfs",
                                                        "devtmpfs",
                                                        "devpts",
                                                        "cgroup",
                                                        "cgroup2",
                                                        "securityfs",
                                                        "debugfs",
                                                        "tracefs",
                                                        "pstore",
                                                        "bpf",
                                                        "mqueue",
                                                        "hugetlbfs",
                                                        "configfs",
                                                        "fusectl",
                                                        "autofs",
                                                        "binfmt_misc",
                                                        "efivarfs",
                                                        "rpc_pipefs",
                                                        "nsfs",
                                                        "nfs",
                                                        "nfs4",
                                                        "cifs",
                                                        "smb3",
                                                        "smbfs",
                                                        "9p",
                                                        "ceph",
                                                        "glusterfs",
                                                        "afs",
                                                        "fuse.sshfs",
                                                        "fuse.gvfsd-fuse",
                                                        "fuse.portal"};
  return types;
}

// Mount points in the mount table escape blanks and backslashes as octal.
std::string unescapeMountPoint(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3') {
      result.push_back(static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                         (text[i + 3] - '0')));
      i += 3;
    } else {
      result.push_back(text[i]);
    }
  }
  return result;
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool isDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The names in the folder open at `fd` (which the handle takes over).
std::vector<std::string> namesIn(int fd) {
  std::vector<std::string> names;
  DirHandle dir(fdopendir(fd));
  if (!dir) {
    close(fd);
    return names;
  }
  while (const dirent* entry = readdir(dir.get())) {
    if (!isDotOrDotDot(entry->d_name)) {
      names.emplace_back(entry->d_name);
    }
  }
  return names;
}

// Deletes `name` in the folder `parent`: a file or a symbolic link itself, a folder with
// everything in it. Folders are opened relative to their parent and never through a link, so
// a link swapped in while this runs cannot lead outside the trash.
bool removeTree(int parent, const char* name) {
  if (unlinkat(parent, name, 0) == 0 || errno == ENOENT) {
    return true;
  }
  if (errno != EISDIR && errno != EPERM) {
    return false;
  }
  const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  const int walk = dup(fd);
  bool removed = walk >= 0;
  if (removed) {
    for (const std::string& child : namesIn(walk)) {
      removed = removeTree(fd, child.c_str()) && removed;
    }
  }
  close(fd);
  return (unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT) && removed;
}

bool exists(int folder, const std::string& name) {
  struct stat status {};
  return fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
}

// Keeps the lines of `directorysizes` ("size mtime percent-encoded-name") whose item is still
// in `files/`; rewrites the file only when a line goes.
void pruneDirectorySizes(const std::string& trash, int files) {
  const std::string path = trash + "/directorysizes";
  const auto text = readFile(path);
  if (!text) {
    return;
  }
  std::string kept;
  bool changed = false;
  std::istringstream lines(*text);
  for (std::string line; std::getline(lines, line);) {
    const auto first = line.find(' ');
    const auto second = first == std::string::npos ? first : line.find(' ', first + 1);
    const auto name =
        second == std::string::npos ? std::nullopt : percentDecode(line.substr(second + 1));
    if (!name || name->empty() || name->find('/') != std::string::npos || !exists(files, *name)) {
      changed = true;
      continue;
    }
    kept += line;
    kept += '\n';
  }
  if (changed) {
    writeFileAtomically(path, kept);
  }
}

}  // namespace

FreedesktopTrash::FreedesktopTrash(std::string homeTrash, unsigned uid, Workspace& workspace,
                                   std::string mountTable)
    : homeTrash_(std::move(homeTrash)),
      uid_(uid),
      workspace_(workspace),
      mountTable_(std::move(mountTable)) {}

FreedesktopTrash::~FreedesktopTrash() {
  if (mountsFd_ >= 0) {
    close(mountsFd_);
  }
}

std::vector<std::string> FreedesktopTrash::localMountPoints() const {
  // The kernel flags the mount table with POLLPRI when something is mounted or unmounted, so
  // it is read again only then.
  if (mountsFd_ < 0 && !mountTable_.empty()) {
    mountsFd_ = ::open(mountTable_.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (mountsFd_ < 0) {
    return {};
  }
  pollfd watch{mountsFd_, POLLPRI, 0};
  const bool changed = poll(&watch, 1, 0) > 0 && (watch.revents & (POLLPRI | POLLERR)) != 0;
  if (mountPointsRead_ && !changed) {
    return mountPoints_;
  }
  std::string table;
  char chunk[4096];
  lseek(mountsFd_, 0, SEEK_SET);
  for (ssize_t size;
       (size = read(mountsFd_, chunk, sizeof chunk)) > 0 && table.size() < (1 << 20);) {
    table.append(chunk, static_cast<std::size_t>(size));
  }
  mountPoints_.clear();
  std::istringstream lines(table);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (fields >> device >> mountPoint >> type && !nonLocalTypes().contains(type)) {
      mountPoints_.push_back(unescapeMountPoint(mountPoint));
    }
  }
  mountPointsRead_ = true;
  return mountPoints_;
}

std::vector<std::string> FreedesktopTrash::trashFolders() const {
  std::vector<std::string> folders{homeTrash_};
  const std::string folderName = ".Trash-" + std::to_string(uid_);
  std::set<std::string> seen;
  for (const std::string& root : localMountPoints()) {
    const std::string folder = (root == "/" ? std::string() : root) + "/" + folderName;
    // Only a real folder of this user's: a link or a stranger's folder is not our trash. A
    // volume gets its trash folder when its first file is trashed, so this is looked at anew.
    struct stat status {};
    if (!seen.insert(folder).second || lstat(folder.c_str(), &status) != 0 ||
        !S_ISDIR(status.st_mode) || status.st_uid != uid_) {
      continue;
    }
    folders.push_back(folder);
  }
  return folders;
}

bool FreedesktopTrash::listItems(const std::function<bool(std::string_view name)>& visit) {
  bool listed = false;
  // Read in small batches: readdir's large buffer would make the kernel fetch about a thousand
  // names of a huge trash when the first one already answers.
  auto listFolder = [&](const std::string& trash) {
    const int fd = ::open((trash + "/files").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      return true;
    }
    listed = true;
    alignas(dirent64) char buffer[1024];
    for (;;) {
      const ssize_t size = getdents64(fd, buffer, sizeof buffer);
      if (size <= 0) {
        break;
      }
      for (ssize_t offset = 0; offset < size;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
        offset += entry->d_reclen;
        if (!isDotOrDotDot(entry->d_name) && !visit(entry->d_name)) {
          close(fd);
          return false;
        }
      }
    }
    close(fd);
    return true;
  };
  // The home trash first: when it holds an item, the volumes are never looked at.
  if (!listFolder(homeTrash_)) {
    return true;
  }
  const std::vector<std::string> folders = trashFolders();
  for (std::size_t i = 1; i < folders.size(); ++i) {
    if (!listFolder(folders[i])) {
      return true;
    }
  }
  return listed;
}

void FreedesktopTrash::emptyFolder(const std::string& trash) {
  // A `files/` or `info/` that is a link leads out of the trash: leave it alone.
  const int files =
      ::open((trash + "/files").c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (files < 0) {
    return;
  }
  const int info =
      ::open((trash + "/info").c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  const int listing = dup(files);
  for (const std::string& name : listing >= 0 ? namesIn(listing) : std::vector<std::string>{}) {
    if (removeTree(files, name.c_str()) && info >= 0) {
      unlinkat(info, (name + std::string(kInfoSuffix)).c_str(), 0);
    }
  }
  // Descriptions left without an item describe nothing.
  const int infoListing = info >= 0 ? dup(info) : -1;
  for (const std::string& name :
       infoListing >= 0 ? namesIn(infoListing) : std::vector<std::string>{}) {
    if (name.size() > kInfoSuffix.size() && name.ends_with(kInfoSuffix) &&
        !exists(files, name.substr(0, name.size() - kInfoSuffix.size()))) {
      unlinkat(info, name.c_str(), 0);
    }
  }
  pruneDirectorySizes(trash, files);
  if (info >= 0) {
    close(info);
  }
  close(files);
}

void FreedesktopTrash::empty() {
  for (const std::string& trash : trashFolders()) {
    emptyFolder(trash);
  }
}

void FreedesktopTrash::open() {
  // The trash: location needs a handler (a file manager over GVfs); without one, the home
  // trash's items are an ordinary folder.
  if (const auto trash = Url::parse(kTrashUri); trash && workspace_.openURL(*trash)) {
    return;
  }
  struct stat status {};
  const std::string files = homeTrash_ + "/files";
  if (stat(files.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    workspace_.openURL(Url::fileURL(files, true));
  }
}

}  // namespace quayline
