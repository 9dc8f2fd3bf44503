#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/FilePreferenceDomains.h"
#include "platform/linux/GioFileManager.h"
#include "platform/linux/GioFileOperations.h"
#include "platform/linux/XdgPaths.h"
#include "tools/pins/PinsCommand.h"
#include "tools/pins/PinsRunner.h"

int main(int argc, char** argv) {
  using namespace quayline;
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const pins::ParsedCommand parsed = pins::parseCommand(arguments);
  if (!parsed.command) {
    std::cerr << "quayline-pins: " << parsed.error << "\n\n" << pins::usageText();
    return 1;
  }
  FilePreferenceDomains domains(FilePreferenceDomains::defaultDirectory());
  GioFileOperations files;
  GioFileManager fileManager;
  XdgPaths paths;
  DesktopEntryIndex entries;
  std::error_code error;
  const std::filesystem::path workingDirectory = std::filesystem::current_path(error);
  const auto application = [&entries](std::string_view id) {
    auto entry = entries.byBundleIdentifier(id);
    if (!entry) {
      entry = entries.byApplicationId(id);  // a desktop-file id, with or without ".desktop"
    }
    return entry ? std::optional(pins::InstalledApplication{entry->bundleIdentifier, entry->path})
                 : std::nullopt;
  };
  return pins::run(*parsed.command, {domains, files, fileManager, paths, application,
                                     workingDirectory.string(), std::cout, std::cerr});
}
