#include "platform/linux/PackageDatabaseUpdater.h"

#include "platform/Processes.h"

namespace quayline {

namespace {

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

Updater::Source PackageDatabaseUpdater::source() {
  // "quayline: /usr/bin/quayline" for the package that installed the program.
  const auto owner = processes_.run(packageQuery, {"-S", program_});
  if (!owner) {
    return {std::nullopt, "the package database cannot be read (no dpkg-query)"};
  }
  const auto colon = owner->standardOutput.find(':');
  if (owner->status != 0 || colon == std::string::npos ||
      owner->standardOutput.find('\n') < colon) {
    return {};
  }
  std::string name = owner->standardOutput.substr(0, colon);
  // A file shared by several packages is listed as "a, b: path"; the first is ours.
  name = name.substr(0, name.find(','));
  const auto version = processes_.run(packageQuery, {"-W", "-f", "${Version}", name});
  if (!version || version->status != 0) {
    return {std::nullopt, "the package database has no version for " + name};
  }
  return {Updater::InstalledPackage{name, trimmed(version->standardOutput)}, std::nullopt};
}

}  // namespace quayline
