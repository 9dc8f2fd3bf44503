#include "tools/pins/PinsCommand.h"

#include <charconv>

namespace quayline::pins {
namespace {

constexpr std::string_view kUsage =
    "usage: quayline-pins list\n"
    "       quayline-pins add TARGET [--after ID | --before ID | --index N]\n"
    "       quayline-pins remove ID\n"
    "       quayline-pins move ID (--after ID | --before ID | --index N)\n"
    "       quayline-pins add-spacer [--small] [--after ID | --before ID | --index N]\n"
    "\n"
    "Edits the dock's pinned items the way dropping them on the dock would; a running dock\n"
    "shows the change at once.\n"
    "  TARGET  an installed application's id (the desktop entry's name without .desktop, such as\n"
    "          debian-xterm), an installed .desktop file, or a folder; applications join the\n"
    "          pinned list, folders the list after the trailing divider\n"
    "  ID      an item's id as `list` prints it (pinned:app:debian-xterm), or an application's\n"
    "          id, or a pinned folder's path\n"
    "  N       the position in the item's list, counted from 0\n"
    "Nothing is written when a command fails; the exit status is then 1.\n";

ParsedCommand failure(std::string message) {
  return {.error = std::move(message)};
}

std::optional<std::size_t> parseIndex(std::string_view text) {
  std::size_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return value;
}

// Reads the options after the command's operands. `small` is only accepted where it is given.
std::optional<std::string> parseOptions(std::span<const std::string_view> options, Place& place,
                                        bool* small) {
  bool placed = false;
  for (std::size_t i = 0; i < options.size(); ++i) {
    const std::string_view option = options[i];
    if (option == "--small" && small) {
      *small = true;
      continue;
    }
    const bool positional = option == "--after" || option == "--before" || option == "--index";
    if (!positional) {
      return "unknown option \"" + std::string(option) + "\"";
    }
    if (placed) {
      return "give only one of --after, --before and --index";
    }
    if (i + 1 == options.size()) {
      return std::string(option) + " needs a value";
    }
    const std::string_view value = options[++i];
    placed = true;
    if (option == "--index") {
      const auto index = parseIndex(value);
      if (!index) {
        return "--index needs a position counted from 0, not \"" + std::string(value) + "\"";
      }
      place = {Place::Kind::index, {}, *index};
    } else {
      place = {option == "--after" ? Place::Kind::after : Place::Kind::before, std::string(value)};
    }
  }
  return std::nullopt;
}

}  // namespace

ParsedCommand parseCommand(std::span<const std::string_view> arguments) {
  if (arguments.empty()) {
    return failure("no command given");
  }
  const std::string_view name = arguments.front();
  const auto rest = arguments.subspan(1);
  if (name == "help" || name == "--help" || name == "-h") {
    return {ShowUsage{}};
  }
  if (name == "list") {
    if (!rest.empty()) {
      return failure("list takes no arguments");
    }
    return {List{}};
  }
  if (name == "add-spacer") {
    AddSpacer spacer;
    if (auto error = parseOptions(rest, spacer.place, &spacer.small)) {
      return failure(*error);
    }
    return {spacer};
  }
  const bool takesOperand = name == "add" || name == "remove" || name == "move";
  if (!takesOperand) {
    return failure("unknown command \"" + std::string(name) + "\"");
  }
  if (rest.empty() || rest.front().starts_with("--")) {
    return failure(std::string(name) + " needs " + (name == "add" ? "a target" : "an item's id"));
  }
  const std::string operand(rest.front());
  Place place;
  if (auto error = parseOptions(rest.subspan(1), place, nullptr)) {
    return failure(*error);
  }
  if (name == "remove") {
    if (place.kind != Place::Kind::end) {
      return failure("remove takes no position");
    }
    return {Remove{operand}};
  }
  if (name == "move") {
    if (place.kind == Place::Kind::end) {
      return failure("move needs --after, --before or --index");
    }
    return {Move{operand, place}};
  }
  return {Add{operand, place}};
}

std::string_view usageText() {
  return kUsage;
}

}  // namespace quayline::pins
