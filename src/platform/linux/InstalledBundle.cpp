#include "platform/linux/InstalledBundle.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <system_error>

#include "foundation/FileReading.h"

namespace quayline {

namespace {

std::filesystem::path runningPrefix() {
  std::error_code error;
  auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    return {};
  }
  // <prefix>/bin/<program>
  return executable.parent_path().parent_path();
}

}  // namespace

InstalledBundle::InstalledBundle() : prefix_(runningPrefix()) {}

InstalledBundle::InstalledBundle(std::filesystem::path prefix) : prefix_(std::move(prefix)) {}

std::optional<PropertyValue> InstalledBundle::infoValue(std::string_view key) {
  if (!info_) {
    info_.emplace();
    const std::string bytes =
        readFile(prefix_ / "share" / "quayline" / "Info.plist").value_or(std::string());
    if (auto decoded = decodePropertyList(std::string_view(bytes));
        decoded && decoded->dictionary() != nullptr) {
      info_ = *decoded->dictionary();
    }
  }
  auto found = info_->find(std::string(key));
  return found == info_->end() ? std::nullopt : std::optional<PropertyValue>(found->second);
}

std::optional<std::string> InstalledBundle::auxiliaryExecutable(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos) {
    return std::nullopt;
  }
  auto path = prefix_ / "libexec" / "quayline" / name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) || ::access(path.c_str(), X_OK) != 0) {
    return std::nullopt;
  }
  return path.string();
}

}  // namespace quayline
