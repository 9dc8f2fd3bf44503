#include <iostream>
#include <string_view>
#include <vector>

#include "platform/linux/FilePreferenceDomains.h"
#include "tools/defaults/DefaultsCommand.h"
#include "tools/defaults/DefaultsRunner.h"

int main(int argc, char** argv) {
  using namespace quayline;
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const defaults::ParsedCommand parsed = defaults::parseCommand(arguments);
  if (!parsed.command) {
    std::cerr << "quayline-defaults: " << parsed.error << '\n';
    if (parsed.showUsage) {
      std::cerr << '\n' << defaults::usageText();
    }
    return 1;
  }
  FilePreferenceDomains domains(FilePreferenceDomains::defaultDirectory());
  return defaults::run(*parsed.command, domains, {std::cin, std::cout, std::cerr});
}
