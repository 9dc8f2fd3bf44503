#include "platform/linux/LinuxInstallPlace.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "foundation/FileReading.h"
#include "platform/linux/XdgAutostartEntry.h"
#include "system/AtomicFile.h"

namespace quayline {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStaged = ".quayline-new";
constexpr std::string_view kReplaced = ".quayline-old";

fs::path runningPrefix() {
  std::error_code error;
  auto executable = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : executable.parent_path().parent_path();
}

fs::path homeLocal() {
  const char* home = std::getenv("HOME");
  return fs::path(home && home[0] == '/' ? home : "/nonexistent") / ".local";
}

fs::path withSuffix(const fs::path& path, std::string_view suffix) {
  return fs::path(path.string() + std::string(suffix));
}

// mountinfo writes blanks and backslashes in paths as octal escapes.
std::string unescapeMountPath(std::string_view field) {
  std::string result;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits(field.substr(i + 1, 3));
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        result += static_cast<char>(std::stoi(digits, nullptr, 8));
        i += 3;
        continue;
      }
    }
    result += field[i];
  }
  return result;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> result;
  std::size_t start = 0;
  while (start < line.size()) {
    const auto end = std::min(line.find(' ', start), line.size());
    if (end > start) {
      result.push_back(line.substr(start, end - start));
    }
    start = end + 1;
  }
  return result;
}

bool isUnder(std::string_view path, std::string_view folder) {
  if (folder == "/") {
    return true;
  }
  return path == folder ||
         (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

bool removableDevice(const std::string& device) {
  // A partition's flag is on its disk, one folder up.
  const fs::path block = fs::path("/sys/dev/block") / device;
  for (const auto& flag : {block / "removable", block / ".." / "removable"}) {
    if (auto text = readFile(flag, 16); text && text->starts_with('1')) {
      return true;
    }
  }
  return false;
}

// The desktop entry names the program by its absolute path, since ~/.local/bin is not on every
// session's PATH.
std::string desktopEntryFor(const std::string& text, const fs::path& program) {
  std::string result;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = std::min(text.find('\n', start), text.size());
    const std::string line = text.substr(start, end - start);
    if (line.starts_with("Exec=")) {
      result += "Exec=" + XdgAutostartEntry::execValue({program.string()});
    } else if (line.starts_with("TryExec=")) {
      result += "TryExec=" + XdgAutostartEntry::execValue({program.string()});
    } else {
      result += line;
    }
    result += '\n';
    start = end + 1;
  }
  return result;
}

}  // namespace

const std::vector<fs::path>& LinuxInstallPlace::installedFiles() {
  static const std::vector<fs::path> files = {
      "bin/quayline",
      "bin/quayline-defaults",
      "libexec/quayline",
      "share/quayline",
      fs::path(desktopEntry),
      "share/icons/hicolor/scalable/apps/com.orrin.quayline.svg",
      "share/metainfo/com.orrin.quayline.metainfo.xml",
  };
  return files;
}

LinuxInstallPlace::LinuxInstallPlace()
    : LinuxInstallPlace(runningPrefix(), homeLocal(), copyRecursively) {}

LinuxInstallPlace::LinuxInstallPlace(fs::path prefix, fs::path userPrefix, Copy copy)
    : prefix_(std::move(prefix)), userPrefix_(std::move(userPrefix)), copy_(std::move(copy)) {}

std::error_code LinuxInstallPlace::copyRecursively(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
  return error;
}

RunningCopy LinuxInstallPlace::runningCopy() {
  RunningCopy copy;
  copy.prefix = prefix_.string();
  std::error_code error;
  // The build tree's stage folder sits beside the build's cache.
  copy.buildTree = fs::exists(prefix_.parent_path() / "CMakeCache.txt", error);
  if (const char* appDir = std::getenv("APPDIR"); appDir && appDir[0] == '/') {
    copy.appImage = std::getenv("APPIMAGE") != nullptr && isUnder(copy.prefix, appDir);
  }
  const auto real = fs::canonical(prefix_, error);
  if (auto mountinfo = readFile("/proc/self/mountinfo"); mountinfo && !error) {
    if (auto mount = mountHolding(*mountinfo, real.string())) {
      copy.readOnlyMount = mount->readOnly;
      copy.removableMedia = removableDevice(mount->device);
    }
  }
  return copy;
}

std::optional<LinuxInstallPlace::Mount> LinuxInstallPlace::mountHolding(std::string_view mountinfo,
                                                                        std::string_view path) {
  std::optional<Mount> best;
  while (!mountinfo.empty()) {
    const auto end = std::min(mountinfo.find('\n'), mountinfo.size());
    const auto parts = fields(mountinfo.substr(0, end));
    mountinfo = end == mountinfo.size() ? std::string_view() : mountinfo.substr(end + 1);
    std::size_t separator = 6;
    while (separator < parts.size() && parts[separator] != "-") {
      ++separator;
    }
    if (parts.size() < 7 || separator + 1 >= parts.size()) {
      continue;  // not a mount line
    }
    Mount mount;
    mount.device = std::string(parts[2]);
    mount.mountPoint = unescapeMountPath(parts[4]);
    mount.fileSystem = std::string(parts[separator + 1]);
    const std::string options = "," + std::string(parts[5]) + ",";
    static constexpr std::string_view images[] = {"squashfs", "iso9660", "udf", "erofs", "cramfs"};
    mount.readOnly =
        options.find(",ro,") != std::string::npos ||
        std::find(std::begin(images), std::end(images), mount.fileSystem) != std::end(images);
    // Later mounts over the same point hide earlier ones.
    if (isUnder(path, mount.mountPoint) &&
        (!best || mount.mountPoint.size() >= best->mountPoint.size())) {
      best = std::move(mount);
    }
  }
  return best;
}

bool LinuxInstallPlace::isRunningFrom(const std::string& prefix) {
  std::error_code error;
  const fs::path program = fs::weakly_canonical(fs::path(prefix) / "bin" / "quayline", error);
  const std::string own = std::to_string(::getpid());
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name == own || name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    std::error_code unreadable;
    auto executable = fs::read_symlink(entry.path() / "exe", unreadable);
    if (!unreadable && executable == program) {
      return true;
    }
  }
  return false;
}

std::optional<std::string> LinuxInstallPlace::installInto(const std::string& prefix) {
  const fs::path destination(prefix);
  std::error_code error;
  if (fs::equivalent(prefix_, destination, error)) {
    return "Quayline already runs from " + prefix + ".";
  }
  struct Item {
    fs::path source, target, staged, replaced;
  };
  std::vector<Item> items;
  for (const auto& relative : installedFiles()) {
    Item item{prefix_ / relative, destination / relative, {}, {}};
    if (!fs::exists(item.source, error)) {
      if (relative == installedFiles().front()) {
        return "The program is missing from " + prefix_.string() + ".";
      }
      continue;
    }
    item.staged = withSuffix(item.target, kStaged);
    item.replaced = withSuffix(item.target, kReplaced);
    items.push_back(std::move(item));
  }
  auto removeStaged = [&items] {
    for (const auto& item : items) {
      std::error_code ignored;
      fs::remove_all(item.staged, ignored);
    }
  };

  // 1. Copy everything beside its place; the installed copy stays untouched until all is there.
  for (const auto& item : items) {
    std::error_code failed;
    fs::remove_all(item.staged, failed);  // left over from an interrupted move
    fs::create_directories(item.target.parent_path(), failed);
    if (!failed) {
      if (item.target == destination / desktopEntry) {
        const auto text = readFile(item.source);
        std::string why;
        if (!text || !writeFileAtomically(
                         item.staged, desktopEntryFor(*text, destination / "bin/quayline"), &why)) {
          failed = std::make_error_code(std::errc::io_error);
        }
      } else {
        failed = copy_(item.source, item.staged);
      }
    }
    if (failed) {
      removeStaged();
      return "Quayline could not be copied to " + item.target.string() + ": " + failed.message();
    }
  }

  // 2. Rename each into place, keeping what it replaces until every rename has worked.
  std::vector<const Item*> done;
  for (const auto& item : items) {
    std::error_code failed;
    std::error_code missing;  // a target not there yet is no failure
    const bool existed = fs::exists(fs::symlink_status(item.target, missing));
    if (existed) {
      fs::remove_all(item.replaced, failed);
      fs::rename(item.target, item.replaced, failed);
    }
    if (!failed) {
      fs::rename(item.staged, item.target, failed);
      if (failed && existed) {
        std::error_code ignored;
        fs::rename(item.replaced, item.target, ignored);
      }
    }
    if (failed) {
      for (auto it = done.rbegin(); it != done.rend(); ++it) {
        std::error_code ignored;
        fs::remove_all((*it)->target, ignored);
        fs::rename((*it)->replaced, (*it)->target, ignored);
      }
      removeStaged();
      return "Quayline could not be put in place at " + item.target.string() + ": " +
             failed.message();
    }
    done.push_back(&item);
  }

  // 3. Only now is the old copy gone.
  for (const auto& item : items) {
    std::error_code ignored;
    fs::remove_all(item.replaced, ignored);
  }
  return std::nullopt;
}

}  // namespace quayline
