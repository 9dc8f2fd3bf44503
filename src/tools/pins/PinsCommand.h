#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace quayline::pins {

// Where an item goes in its list: at the end, next to a pinned item, or at an index.
struct Place {
  enum class Kind { end, after, before, index };
  Kind kind = Kind::end;
  std::string id;         // for after and before
  std::size_t index = 0;  // for index
  bool operator==(const Place&) const = default;
};

// One invocation of the pinning tool, parsed before anything is read or written.
struct ShowUsage {};
struct List {};
struct Add {
  std::string target;  // an application id, a .desktop file or a folder
  Place place;
};
struct Remove {
  std::string id;
};
struct Move {
  std::string id;
  Place place;  // never `end`
};
struct AddSpacer {
  bool small = false;
  Place place;
};

using Command = std::variant<ShowUsage, List, Add, Remove, Move, AddSpacer>;

struct ParsedCommand {
  std::optional<Command> command;
  std::string error;  // why there is no command
};

// The arguments after the program name. No arguments at all is an error.
ParsedCommand parseCommand(std::span<const std::string_view> arguments);

std::string_view usageText();

}  // namespace quayline::pins
