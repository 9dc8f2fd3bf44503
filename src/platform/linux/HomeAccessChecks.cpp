#include "platform/linux/HomeAccessChecks.h"

#include <unistd.h>

#include <string>
#include <string_view>
#include <system_error>

#include "platform/linux/FileAccess.h"

namespace quayline::HomeAccessChecks {

namespace fs = std::filesystem;

namespace {

// Flatpak's info file is a few hundred bytes.
constexpr std::size_t kInfoLimit = 1 << 20;

bool grantsHome(std::string_view entry) {
  if (const auto colon = entry.find(':'); colon != std::string_view::npos) {
    entry = entry.substr(0, colon);  // "home:ro", "host:rw"
  }
  return entry == "home" || entry == "host" || entry == "~";
}

bool writableFolder(const fs::path& folder) {
  std::error_code error;
  return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Whether `folder` is a writable folder, or can be created below a writable one.
bool writableOrCreatable(const fs::path& folder) {
  std::error_code error;
  fs::path existing = folder;
  while (!fs::exists(fs::symlink_status(existing, error)) && existing.has_relative_path()) {
    existing = existing.parent_path();
  }
  return writableFolder(existing);
}

}  // namespace

bool homeReadable(const fs::path& flatpakInfo) {
  const FileContents info = readWholeFile(flatpakInfo, kInfoLimit);
  if (info.status == FileContents::Status::missing) {
    return true;
  }
  if (info.status != FileContents::Status::read) {
    return false;
  }
  const std::string text(info.bytes.begin(), info.bytes.end());
  bool inContext = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end;
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    if (line.starts_with("[")) {
      inContext = line == "[Context]";
      continue;
    }
    constexpr std::string_view key = "filesystems=";
    if (!inContext || !line.starts_with(key)) {
      continue;
    }
    line.remove_prefix(key.size());
    while (!line.empty()) {
      const auto semicolon = line.find(';');
      if (grantsHome(line.substr(0, semicolon))) {
        return true;
      }
      line.remove_prefix(semicolon == std::string_view::npos ? line.size() : semicolon + 1);
    }
  }
  return false;
}

bool trashWritable(const fs::path& trash) {
  return writableOrCreatable(trash) && writableOrCreatable(trash / "files") &&
         writableOrCreatable(trash / "info");
}

}  // namespace quayline::HomeAccessChecks
