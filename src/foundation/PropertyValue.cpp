#include "foundation/PropertyValue.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quayline {
namespace {

void indent(std::string& out, int level) {
  out.append(static_cast<std::size_t>(level) * 4, ' ');
}

bool isBareWordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.' || c == '/' || c == '-' || c == ':';
}

// A bare word that would read as another type (a number, a boolean) is quoted, so that every
// value's type shows in the output.
bool looksLikeAnotherType(std::string_view text) {
  const char first = text.front();
  return (first >= '0' && first <= '9') || first == '-' || first == '.' || text == "true" ||
         text == "false";
}

void appendString(std::string& out, std::string_view text) {
  bool bare = !text.empty() && !looksLikeAnotherType(text);
  for (char c : text) {
    bare = bare && isBareWordCharacter(c);
  }
  if (bare) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\U%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void appendReal(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";
    return;
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  out += text;
  // A real always shows as one: 2.0 rather than 2, which would read as an integer.
  if (text.find_first_of(".e") == std::string_view::npos && std::isfinite(value)) {
    out += ".0";
  }
}

void appendData(std::string& out, const PropertyData& data) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "{length = " + std::to_string(data.size()) + ", bytes = 0x";
  for (std::uint8_t byte : data) {
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  out += '}';
}

// Days since 1970-01-01 to a civil date in the proleptic Gregorian calendar.
void civilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
  day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

void appendDate(std::string& out, const PropertyDate& date) {
  // Far beyond any calendar a person reads; shown as the raw count rather than overflowing.
  constexpr double kCalendarLimit = 1e14;
  if (!(std::fabs(date.unixSeconds) < kCalendarLimit)) {
    appendReal(out, date.unixSeconds);
    return;
  }
  const auto seconds = static_cast<std::int64_t>(std::floor(date.unixSeconds));
  const std::int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
  const std::int64_t secondOfDay = seconds - days * 86400;
  std::int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  civilFromDays(days, year, month, day);
  char buffer[64];
  std::snprintf(
      buffer, sizeof buffer, "%04lld-%02u-%02u %02lld:%02lld:%02lld +0000",
      static_cast<long long>(year), month, day, static_cast<long long>(secondOfDay / 3600),
      static_cast<long long>(secondOfDay / 60 % 60), static_cast<long long>(secondOfDay % 60));
  out += buffer;
}

void appendValue(std::string& out, const PropertyValue& value, int level) {
  switch (value.type()) {
    case PropertyValue::Type::boolean:
      out += *value.boolean() ? "true" : "false";
      return;
    case PropertyValue::Type::integer:
      out += std::to_string(*value.integer());
      return;
    case PropertyValue::Type::real:
      appendReal(out, *value.real());
      return;
    case PropertyValue::Type::string:
      appendString(out, *value.string());
      return;
    case PropertyValue::Type::data:
      appendData(out, *value.data());
      return;
    case PropertyValue::Type::date:
      appendDate(out, *value.date());
      return;
    case PropertyValue::Type::array: {
      out += "(\n";
      const auto& items = *value.array();
      for (std::size_t i = 0; i < items.size(); ++i) {
        indent(out, level + 1);
        appendValue(out, items[i], level + 1);
        out += i + 1 < items.size() ? ",\n" : "\n";
      }
      indent(out, level);
      out += ')';
      return;
    }
    case PropertyValue::Type::dictionary:
      out += "{\n";
      for (const auto& [key, item] : *value.dictionary()) {
        indent(out, level + 1);
        appendString(out, key);
        out += " = ";
        appendValue(out, item, level + 1);
        out += ";\n";
      }
      indent(out, level);
      out += '}';
      return;
  }
}

}  // namespace

std::optional<double> PropertyValue::number() const {
  if (const auto* value = integer()) {
    return static_cast<double>(*value);
  }
  if (const auto* value = real()) {
    return *value;
  }
  return std::nullopt;
}

const PropertyValue* PropertyValue::find(std::string_view key) const {
  const Dictionary* entries = dictionary();
  if (!entries) {
    return nullptr;
  }
  const auto found = entries->find(std::string(key));
  return found == entries->end() ? nullptr : &found->second;
}

std::string_view typeName(PropertyValue::Type type) {
  switch (type) {
    case PropertyValue::Type::boolean:
      return "boolean";
    case PropertyValue::Type::integer:
      return "integer";
    case PropertyValue::Type::real:
      return "float";
    case PropertyValue::Type::string:
      return "string";
    case PropertyValue::Type::data:
      return "data";
    case PropertyValue::Type::date:
      return "date";
    case PropertyValue::Type::array:
      return "array";
    case PropertyValue::Type::dictionary:
      return "dictionary";
  }
  return "unknown";
}

std::string describe(const PropertyValue& value) {
  std::string out;
  appendValue(out, value, 0);
  return out;
}

std::ostream& operator<<(std::ostream& out, const PropertyValue& value) {
  return out << describe(value);
}

}  // namespace quayline
