#include "tools/defaults/DefaultsCommand.h"

#include "platform/PreferenceDomains.h"
#include "tools/defaults/TypedArguments.h"

namespace quayline::defaults {
namespace {

ParsedCommand failure(std::string message) {
  return {.error = std::move(message)};
}

// Made in place: moving a finished command into the result lets GCC 12 (-O2) lose track of the
// value's alternative and warn about the members of the others.
ParsedCommand writing(std::string domain, std::string key, PropertyValue value) {
  ParsedCommand parsed;
  parsed.command.emplace(std::in_place_type<WriteValue>, std::move(domain), std::move(key),
                         std::move(value));
  return parsed;
}

ParsedCommand misuse(std::string message) {
  return {.error = std::move(message), .showUsage = true};
}

std::string domainArgument(std::string_view argument) {
  if (argument == "-g" || argument == "-globalDomain") {
    return std::string(PreferenceDomains::anyApplication);
  }
  return std::string(argument);
}

std::string quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

enum class TypeFlag { string, boolean, integer, real, data, date, array, dictionary };

std::optional<TypeFlag> typeFlag(std::string_view argument) {
  static constexpr std::pair<std::string_view, TypeFlag> kFlags[] = {
      {"-string", TypeFlag::string},   {"-bool", TypeFlag::boolean},
      {"-boolean", TypeFlag::boolean}, {"-int", TypeFlag::integer},
      {"-integer", TypeFlag::integer}, {"-float", TypeFlag::real},
      {"-data", TypeFlag::data},       {"-date", TypeFlag::date},
      {"-array", TypeFlag::array},     {"-dict", TypeFlag::dictionary}};
  for (const auto& [name, flag] : kFlags) {
    if (argument == name) {
      return flag;
    }
  }
  return std::nullopt;
}

// A leading dash and a letter looks like a mistyped flag rather than a value such as "-5".
bool looksLikeFlag(std::string_view argument) {
  return argument.size() > 1 && argument[0] == '-' &&
         ((argument[1] >= 'a' && argument[1] <= 'z') || (argument[1] >= 'A' && argument[1] <= 'Z'));
}

std::optional<PropertyValue> scalar(TypeFlag flag, std::string_view text, std::string& error) {
  switch (flag) {
    case TypeFlag::string:
      return PropertyValue(std::string(text));
    case TypeFlag::boolean:
      if (auto value = parseBoolean(text)) {
        return PropertyValue(*value);
      }
      error = quoted(text) + " is not a boolean (use true, false, yes, no, 1 or 0)";
      return std::nullopt;
    case TypeFlag::integer:
      if (auto value = parseInteger(text)) {
        return PropertyValue(*value);
      }
      error = quoted(text) + " is not a signed 64-bit integer";
      return std::nullopt;
    case TypeFlag::real:
      if (auto value = parseReal(text)) {
        return PropertyValue(*value);
      }
      error = quoted(text) + " is not a finite number";
      return std::nullopt;
    case TypeFlag::data:
      if (auto value = parseHexData(text)) {
        return PropertyValue(std::move(*value));
      }
      error = quoted(text) + " is not hexadecimal data (two digits per byte)";
      return std::nullopt;
    case TypeFlag::date:
      if (auto value = parseIsoDate(text)) {
        if (isRepresentableDate(*value)) {
          return PropertyValue(*value);
        }
        error = quoted(text) + " is outside the dates a property list holds (1932 to 2069)";
        return std::nullopt;
      }
      error = quoted(text) + " is not an ISO 8601 date such as 2026-12-06T20:23:25Z";
      return std::nullopt;
    case TypeFlag::array:
    case TypeFlag::dictionary:
      break;
  }
  return std::nullopt;
}

ParsedCommand parseWrite(std::string domain, std::string key,
                         std::span<const std::string_view> rest) {
  if (rest.empty()) {
    return failure("write needs a value after the key");
  }
  const std::optional<TypeFlag> flag = typeFlag(rest[0]);
  if (!flag && looksLikeFlag(rest[0])) {
    return failure("unknown value type " + std::string(rest[0]) +
                   " (use -string, -bool, -int, -float, -data, -date, -array or -dict)");
  }
  const auto values = flag ? rest.subspan(1) : rest;
  if (flag == TypeFlag::array) {
    PropertyValue::Array items;
    for (std::string_view item : values) {
      items.emplace_back(std::string(item));
    }
    return writing(std::move(domain), std::move(key), PropertyValue(std::move(items)));
  }
  if (flag == TypeFlag::dictionary) {
    if (values.size() % 2 != 0) {
      return failure("-dict needs pairs of keys and values");
    }
    PropertyValue::Dictionary entries;
    for (std::size_t i = 0; i < values.size(); i += 2) {
      entries.insert_or_assign(std::string(values[i]), PropertyValue(std::string(values[i + 1])));
    }
    return writing(std::move(domain), std::move(key), PropertyValue(std::move(entries)));
  }
  if (values.size() != 1) {
    return failure(values.empty() ? "write needs a value after " + std::string(rest[0])
                                  : "write takes one value; use -array or -dict for several");
  }
  std::string error;
  auto value = scalar(flag.value_or(TypeFlag::string), values[0], error);
  if (!value) {
    return failure(error);
  }
  return writing(std::move(domain), std::move(key), std::move(*value));
}

}  // namespace

ParsedCommand parseCommand(std::span<const std::string_view> arguments) {
  if (arguments.empty()) {
    return misuse("no command given");
  }
  const std::string_view verb = arguments[0];
  const auto rest = arguments.subspan(1);
  const auto wrongCount = [&] {
    return misuse("wrong number of arguments for " + std::string(verb));
  };
  if (verb == "help" || verb == "-h" || verb == "--help") {
    return {.command = ShowUsage{}};
  }
  if (verb == "domains") {
    return rest.empty() ? ParsedCommand{.command = ListDomains{}} : wrongCount();
  }
  if (verb == "read") {
    switch (rest.size()) {
      case 0:
        return {.command = ReadEverything{}};
      case 1:
        return {.command = ReadDomain{domainArgument(rest[0])}};
      case 2:
        return {.command = ReadValue{domainArgument(rest[0]), std::string(rest[1])}};
      default:
        return wrongCount();
    }
  }
  if (verb == "read-type") {
    return rest.size() == 2
               ? ParsedCommand{.command = ReadType{domainArgument(rest[0]), std::string(rest[1])}}
               : wrongCount();
  }
  if (verb == "write") {
    return rest.size() >= 2
               ? parseWrite(domainArgument(rest[0]), std::string(rest[1]), rest.subspan(2))
               : wrongCount();
  }
  if (verb == "delete") {
    switch (rest.size()) {
      case 1:
        return {.command = DeleteDomain{domainArgument(rest[0])}};
      case 2:
        return {.command = DeleteValue{domainArgument(rest[0]), std::string(rest[1])}};
      default:
        return wrongCount();
    }
  }
  if (verb == "import" || verb == "export") {
    if (rest.size() != 2) {
      return wrongCount();
    }
    if (verb == "import") {
      return {.command = ImportDomain{domainArgument(rest[0]), std::string(rest[1])}};
    }
    return {.command = ExportDomain{domainArgument(rest[0]), std::string(rest[1])}};
  }
  return misuse("unknown command " + quoted(verb));
}

std::string_view usageText() {
  return R"(usage: quayline-defaults <command>

  domains                                  list the stored domains
  read [<domain> [<key>]]                  show every domain, one domain or one value
  read-type <domain> <key>                 show the type of a value
  write <domain> <key> [<type>] <value>    store a value; <type> is -string (the default),
                                           -bool (true/false/yes/no/1/0), -int, -float,
                                           -data (hex) or -date (2026-12-06T20:23:25Z)
  write <domain> <key> -array <value>...   store an array of strings
  write <domain> <key> -dict <key> <value>...
                                           store a dictionary of strings
  delete <domain> [<key>]                  remove a value, or the whole domain
  import <domain> <file.plist|->           replace the domain with a property list
                                           (XML or binary; its top level is a dictionary)
  export <domain> <file.plist|->           write the domain as an XML property list
  help                                     show this text

-g and NSGlobalDomain name the domain every application sees. The domains are kept in
$QUAYLINE_PREFERENCES_DIR, else $XDG_CONFIG_HOME/quayline/preferences, else
~/.config/quayline/preferences.
)";
}

}  // namespace quayline::defaults
