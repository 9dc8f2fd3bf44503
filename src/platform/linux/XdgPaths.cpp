#include "platform/linux/XdgPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>

namespace quayline {

namespace {

std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// A user-dirs.dirs value: "$HOME/Name" or "/absolute/path", in double quotes, with backslash
// escapes. Nothing for a value of any other shape.
std::optional<std::string> userDirValue(std::string_view value, const std::string& home) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
    return std::nullopt;
  }
  value = value.substr(1, value.size() - 2);
  std::string path;
  if (value.starts_with("$HOME")) {
    value.remove_prefix(5);
    if (!value.empty() && value.front() != '/') {
      return std::nullopt;
    }
    path = home;
  } else if (!value.starts_with('/')) {
    return std::nullopt;
  }
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      ++i;
    }
    path += value[i];
  }
  return path;
}

}  // namespace

std::string XdgPaths::homeDirectory() {
  if (std::string home = environmentValue("HOME"); !home.empty()) {
    return home;
  }
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

std::string XdgPaths::applicationSupportDirectory() {
  // The base-directory convention ignores relative values.
  if (std::string data = environmentValue("XDG_DATA_HOME"); data.starts_with('/')) {
    return data;
  }
  return homeDirectory() + "/.local/share";
}

std::optional<std::string> XdgPaths::downloadsDirectory() {
  const std::string home = homeDirectory();
  std::string config = environmentValue("XDG_CONFIG_HOME");
  if (!config.starts_with('/')) {
    config = home + "/.config";
  }
  std::ifstream file(config + "/user-dirs.dirs");
  std::string line;
  std::optional<std::string> configured;
  while (std::getline(file, line)) {
    std::string_view text = trimmed(line);
    if (text.empty() || text.front() == '#') {
      continue;
    }
    auto equals = text.find('=');
    if (equals == std::string_view::npos || trimmed(text.substr(0, equals)) != "XDG_DOWNLOAD_DIR") {
      continue;
    }
    // The last assignment wins, as it would in the shell that the file is written for.
    if (auto value = userDirValue(trimmed(text.substr(equals + 1)), home)) {
      configured = value;
    }
  }
  return configured ? configured : home + "/Downloads";
}

}  // namespace quayline
