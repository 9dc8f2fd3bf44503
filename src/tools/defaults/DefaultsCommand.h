#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "foundation/PropertyValue.h"

namespace quayline::defaults {

// One invocation of the defaults tool, parsed and checked before anything is read or written.
struct ShowUsage {};
struct ListDomains {};
struct ReadEverything {};
struct ReadDomain {
  std::string domain;
};
struct ReadValue {
  std::string domain;
  std::string key;
};
struct ReadType {
  std::string domain;
  std::string key;
};
struct WriteValue {
  std::string domain;
  std::string key;
  PropertyValue value;
};
struct DeleteDomain {
  std::string domain;
};
struct DeleteValue {
  std::string domain;
  std::string key;
};
struct ImportDomain {
  std::string domain;
  std::string source;  // a path, or "-" for standard input
};
struct ExportDomain {
  std::string domain;
  std::string destination;  // a path, or "-" for standard output
};

using Command =
    std::variant<ShowUsage, ListDomains, ReadEverything, ReadDomain, ReadValue, ReadType,
                 WriteValue, DeleteDomain, DeleteValue, ImportDomain, ExportDomain>;

struct ParsedCommand {
  std::optional<Command> command;
  std::string error;       // why there is no command
  bool showUsage = false;  // the arguments were not shaped like any command
};

// The arguments after the program name. No arguments at all is an error that shows the usage.
ParsedCommand parseCommand(std::span<const std::string_view> arguments);

std::string_view usageText();

}  // namespace quayline::defaults
