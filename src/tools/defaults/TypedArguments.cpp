#include "tools/defaults/TypedArguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quayline::defaults {
namespace {

std::string lowercase(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  });
  return result;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Reads exactly `width` decimal digits at `at`.
std::optional<int> digits(std::string_view text, std::size_t at, std::size_t width) {
  if (at + width > text.size()) {
    return std::nullopt;
  }
  int value = 0;
  for (std::size_t i = at; i < at + width; ++i) {
    if (text[i] < '0' || text[i] > '9') {
      return std::nullopt;
    }
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

unsigned daysInMonth(int year, unsigned month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<bool> parseBoolean(std::string_view text) {
  const std::string word = lowercase(text);
  if (word == "true" || word == "yes" || word == "1") {
    return true;
  }
  if (word == "false" || word == "no" || word == "0") {
    return false;
  }
  return std::nullopt;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) {
      return std::nullopt;
    }
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> parseReal(std::string_view text) {
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) {
      return std::nullopt;
    }
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<PropertyData> parseHexData(std::string_view text) {
  if (text.size() % 2 != 0) {
    return std::nullopt;
  }
  PropertyData bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hexDigit(text[i]);
    const int low = hexDigit(text[i + 1]);
    if (high < 0 || low < 0) {
      return std::nullopt;
    }
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::optional<PropertyDate> parseIsoDate(std::string_view text) {
  // YYYY-MM-DDTHH:MM:SS followed by Z, ±HH:MM or ±HHMM.
  const auto year = digits(text, 0, 4);
  const auto month = digits(text, 5, 2);
  const auto day = digits(text, 8, 2);
  const auto hour = digits(text, 11, 2);
  const auto minute = digits(text, 14, 2);
  const auto second = digits(text, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second || text[4] != '-' || text[7] != '-' ||
      (text[10] != 'T' && text[10] != 't') || text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  if (*month < 1 || *month > 12 || *day < 1 ||
      static_cast<unsigned>(*day) > daysInMonth(*year, static_cast<unsigned>(*month)) ||
      *hour > 23 || *minute > 59 || *second > 59) {
    return std::nullopt;
  }
  const std::string_view zone = text.substr(19);
  int offsetMinutes = 0;
  if (zone != "Z" && zone != "z") {
    const bool colon = zone.size() == 6 && zone[3] == ':';
    if ((zone.size() != 5 && !colon) || (zone[0] != '+' && zone[0] != '-')) {
      return std::nullopt;
    }
    const auto zoneHours = digits(zone, 1, 2);
    const auto zoneMinutes = digits(zone, colon ? 4 : 3, 2);
    if (!zoneHours || !zoneMinutes || *zoneHours > 23 || *zoneMinutes > 59) {
      return std::nullopt;
    }
    offsetMinutes = (*zoneHours * 60 + *zoneMinutes) * (zone[0] == '-' ? -1 : 1);
  }
  const std::int64_t days =
      daysFromCivil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day));
  const std::int64_t seconds =
      days * 86400 + *hour * 3600 + *minute * 60 + *second - offsetMinutes * 60;
  return PropertyDate{static_cast<double>(seconds)};
}

}  // namespace quayline::defaults
