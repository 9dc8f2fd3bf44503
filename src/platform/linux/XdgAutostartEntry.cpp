#include "platform/linux/XdgAutostartEntry.h"

#include <unistd.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <system_error>

#include "foundation/FileReading.h"
#include "system/AtomicFile.h"

namespace quayline {

namespace {

// Characters that make an Exec argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
// Characters that must be escaped with a backslash inside quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

std::string quoteArgument(std::string_view argument) {
  std::string quoted;
  const bool needsQuotes =
      argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
  if (needsQuotes) {
    quoted += '"';
  }
  for (char c : argument) {
    if (c == '%') {
      quoted += "%%";  // a literal percent sign, not a field code
      continue;
    }
    if (needsQuotes && kEscapedInQuotes.find(c) != std::string_view::npos) {
      quoted += '\\';
    }
    quoted += c;
  }
  if (needsQuotes) {
    quoted += '"';
  }
  return quoted;
}

// Values of the string type escape backslashes and control characters once more, after the
// Exec quoting.
std::string escapeString(std::string_view value) {
  std::string escaped;
  for (char c : value) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string unescapeString(std::string_view value) {
  std::string result;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      result += value[i];
      continue;
    }
    switch (value[++i]) {
      case 'n':
        result += '\n';
        break;
      case 't':
        result += '\t';
        break;
      case 'r':
        result += '\r';
        break;
      case 's':
        result += ' ';
        break;
      default:
        result += value[i];
    }
  }
  return result;
}

// The keys of the [Desktop Entry] group; later duplicates win, as readers treat them.
std::map<std::string, std::string> desktopEntryKeys(std::string_view text) {
  std::map<std::string, std::string> keys;
  bool inGroup = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    if (line.starts_with('[')) {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    const auto equals = line.find('=');
    if (!inGroup || line.starts_with('#') || equals == std::string_view::npos) {
      continue;
    }
    auto trim = [](std::string_view part) {
      while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) {
        part.remove_prefix(1);
      }
      while (!part.empty() && (part.back() == ' ' || part.back() == '\t')) {
        part.remove_suffix(1);
      }
      return std::string(part);
    };
    keys[trim(line.substr(0, equals))] = trim(line.substr(equals + 1));
  }
  return keys;
}

}  // namespace

std::filesystem::path XdgAutostartEntry::defaultPath() {
  std::filesystem::path config;
  if (const char* value = std::getenv("XDG_CONFIG_HOME"); value && value[0] == '/') {
    config = value;
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    config = std::filesystem::path(home) / ".config";
  } else {
    config = "/nonexistent/.config";
  }
  return config / "autostart" / fileName;
}

LoginItemRegistration::Status XdgAutostartEntry::status() {
  std::error_code error;
  if (!std::filesystem::exists(file_, error)) {
    return Status::notRegistered;
  }
  const auto text = readFile(file_);
  if (!text) {
    // There, but unreadable: not ours to judge, and never to be replaced unasked.
    return Status::requiresApproval;
  }
  const auto keys = desktopEntryKeys(*text);
  auto value = [&keys](const std::string& key) {
    auto found = keys.find(key);
    return found == keys.end() ? std::string() : found->second;
  };
  if (value("Hidden") == "true" || value("X-GNOME-Autostart-enabled") == "false") {
    return Status::requiresApproval;
  }
  const auto arguments = execArguments(value("Exec"));
  if (arguments.empty()) {
    return Status::notFound;
  }
  // A bare name is looked up on the session's PATH at login, which is not ours to check.
  const std::string& program = arguments.front();
  if (program.starts_with('/') && ::access(program.c_str(), X_OK) != 0) {
    return Status::notFound;
  }
  return Status::enabled;
}

std::optional<std::string> XdgAutostartEntry::registerProgram(const std::string& executable) {
  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  if (error) {
    return "cannot create " + file_.parent_path().string() + ": " + error.message();
  }
  std::string why;
  if (!writeFileAtomically(file_, entryText(executable), &why)) {
    return why;
  }
  return std::nullopt;
}

std::optional<std::string> XdgAutostartEntry::unregister() {
  std::error_code error;
  std::filesystem::remove(file_, error);
  if (error) {
    return "cannot remove " + file_.string() + ": " + error.message();
  }
  return std::nullopt;
}

std::string XdgAutostartEntry::entryText(const std::string& executable) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Quayline\n"
         "Comment=Starts the Quayline dock when you log in\n"
         "Exec=" +
         execValue({executable}) +
         "\n"
         "Icon=com.orrin.quayline\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

std::string XdgAutostartEntry::execValue(const std::vector<std::string>& arguments) {
  std::string line;
  for (const auto& argument : arguments) {
    if (!line.empty()) {
      line += ' ';
    }
    line += quoteArgument(argument);
  }
  return escapeString(line);
}

std::vector<std::string> XdgAutostartEntry::execArguments(std::string_view value) {
  const std::string line = unescapeString(value);
  std::vector<std::string> arguments;
  std::optional<std::string> current;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '%' && i + 1 < line.size() && line[i + 1] == '%') {
        *current += '%';
        ++i;
      } else if (c == '\\' && i + 1 < line.size() &&
                 kEscapedInQuotes.find(line[i + 1]) != std::string_view::npos) {
        *current += line[++i];
      } else {
        *current += c;
      }
      continue;
    }
    if (c == ' ' || c == '\t') {
      if (current) {
        arguments.push_back(std::move(*current));
        current.reset();
      }
      continue;
    }
    if (!current) {
      current.emplace();
    }
    if (c == '"') {
      quoted = true;
    } else if (c == '%' && i + 1 < line.size() && line[i + 1] == '%') {
      *current += '%';
      ++i;
    } else {
      *current += c;
    }
  }
  if (quoted) {
    return {};
  }
  if (current) {
    arguments.push_back(std::move(*current));
  }
  return arguments;
}

}  // namespace quayline
