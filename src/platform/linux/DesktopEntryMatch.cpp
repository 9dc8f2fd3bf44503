#include "platform/linux/DesktopEntryMatch.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quayline {

namespace {

constexpr std::array<std::string_view, 20> kLaunchers{
    "sh",    "bash", "dash",   "zsh",    "env",  "perl",     "ruby",
    "java",  "node", "nodejs", "gjs",    "mono", "flatpak",  "flatpak-spawn",
    "bwrap", "snap", "sudo",   "pkexec", "wine", "xdg-open",
};
// Versioned names: python3.11, electron25.
constexpr std::array<std::string_view, 2> kLauncherPrefixes{"python", "electron"};

std::string lowered(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return result;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && lowered(a) == lowered(b);
}

std::string_view stem(std::string_view desktopFileId) {
  if (desktopFileId.ends_with(".desktop")) {
    desktopFileId.remove_suffix(8);
  }
  return desktopFileId;
}

std::string_view lastComponent(std::string_view id) {
  const auto dot = id.find_last_of('.');
  return dot == std::string_view::npos ? id : id.substr(dot + 1);
}

// The first entry the predicate ranks highest (0 = not a candidate).
template <typename Rank>
const DesktopEntry* best(const std::vector<DesktopEntry>& entries, Rank rank) {
  const DesktopEntry* found = nullptr;
  int foundRank = 0;
  for (const DesktopEntry& entry : entries) {
    const int r = rank(entry);
    if (r > foundRank) {
      found = &entry;
      foundRank = r;
    }
  }
  return found;
}

// Among entries that fit equally, the one a user would pin: shown, and not a side door.
int preference(const DesktopEntry& entry) {
  return (entry.plainCommand ? 2 : 0) + (entry.noDisplay ? 0 : 1);
}

}  // namespace

bool isLauncherProgram(std::string_view executable) {
  for (const std::string_view prefix : kLauncherPrefixes) {
    if (executable.starts_with(prefix)) {
      return true;
    }
  }
  return std::find(kLaunchers.begin(), kLaunchers.end(), executable) != kLaunchers.end();
}

const DesktopEntry* entryRunning(const std::vector<DesktopEntry>& entries,
                                 std::string_view executable) {
  if (executable.empty() || isLauncherProgram(executable)) {
    return nullptr;
  }
  return best(entries, [&](const DesktopEntry& e) {
    return e.executable == executable ? 1 + preference(e) : 0;
  });
}

const DesktopEntry* entryNamed(const std::vector<DesktopEntry>& entries, std::string_view id) {
  if (id.empty()) {
    return nullptr;
  }
  if (id.starts_with('/')) {
    for (const DesktopEntry& entry : entries) {
      if (entry.path == id) {
        return &entry;
      }
    }
    return nullptr;
  }
  for (const DesktopEntry& entry : entries) {
    if (stem(entry.desktopFileId) == stem(id)) {
      return &entry;
    }
  }
  return nullptr;
}

const DesktopEntry* matchDesktopEntry(const std::vector<DesktopEntry>& entries,
                                      const ClientIdentity& client) {
  if (const DesktopEntry* named = entryNamed(entries, client.applicationId)) {
    return named;
  }
  if (const DesktopEntry* named = entryNamed(entries, client.desktopFile)) {
    return named;
  }
  const std::array<std::string_view, 2> names{client.className, client.instance};
  const auto namesClass = [&](std::string_view value, bool exact) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view name) {
      return !name.empty() && (exact ? value == name : equalsIgnoringCase(value, name));
    });
  };
  for (const bool exact : {true, false}) {
    if (const DesktopEntry* found = best(entries, [&](const DesktopEntry& e) {
          return namesClass(e.startupWMClass, exact) ? 1 + preference(e) : 0;
        })) {
      return found;
    }
  }
  if (const DesktopEntry* launched = entryNamed(entries, client.launchedEntry)) {
    return launched;
  }
  if (const DesktopEntry* found = best(entries, [&](const DesktopEntry& e) {
        const std::string_view id = stem(e.desktopFileId);
        if (namesClass(id, false)) {
          return 8 + preference(e);
        }
        return namesClass(lastComponent(id), false) ? 1 + preference(e) : 0;
      })) {
    return found;
  }
  // An entry that names a window class claims only windows of that class: one program often
  // serves several entries that way (a browser and its web applications).
  if (!client.executable.empty() && !isLauncherProgram(client.executable)) {
    if (const DesktopEntry* found = best(entries, [&](const DesktopEntry& e) {
          return e.executable == client.executable && e.startupWMClass.empty() ? 1 + preference(e)
                                                                               : 0;
        })) {
      return found;
    }
  }
  return best(entries, [&](const DesktopEntry& e) {
    return e.startupWMClass.empty() && !isLauncherProgram(e.executable) &&
                   namesClass(e.executable, false)
               ? 1 + preference(e)
               : 0;
  });
}

}  // namespace quayline
