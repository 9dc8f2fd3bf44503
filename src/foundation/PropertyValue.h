#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quayline {

using PropertyData = std::vector<std::uint8_t>;

// A point in time as stored in property lists.
struct PropertyDate {
  double unixSeconds = 0;
  bool operator==(const PropertyDate&) const = default;
};

// One typed property-list value. Types are kept exactly: a string stored where a boolean is
// expected reads back as a string, so readers can tell "absent" from "of the wrong type".
class PropertyValue {
 public:
  using Array = std::vector<PropertyValue>;
  using Dictionary = std::map<std::string, PropertyValue>;
  enum class Type { boolean, integer, real, string, data, date, array, dictionary };

  PropertyValue() : storage_(Dictionary{}) {}
  explicit PropertyValue(bool value) : storage_(value) {}
  explicit PropertyValue(std::int64_t value) : storage_(value) {}
  explicit PropertyValue(int value) : storage_(std::int64_t{value}) {}
  explicit PropertyValue(double value) : storage_(value) {}
  explicit PropertyValue(std::string value) : storage_(std::move(value)) {}
  explicit PropertyValue(const char* value) : storage_(std::string(value)) {}
  explicit PropertyValue(PropertyData value) : storage_(std::move(value)) {}
  explicit PropertyValue(PropertyDate value) : storage_(value) {}
  explicit PropertyValue(Array value) : storage_(std::move(value)) {}
  explicit PropertyValue(Dictionary value) : storage_(std::move(value)) {}

  Type type() const { return static_cast<Type>(storage_.index()); }

  // Each returns null unless the value has exactly that type.
  const bool* boolean() const { return std::get_if<bool>(&storage_); }
  const std::int64_t* integer() const { return std::get_if<std::int64_t>(&storage_); }
  const double* real() const { return std::get_if<double>(&storage_); }
  const std::string* string() const { return std::get_if<std::string>(&storage_); }
  const PropertyData* data() const { return std::get_if<PropertyData>(&storage_); }
  const PropertyDate* date() const { return std::get_if<PropertyDate>(&storage_); }
  const Array* array() const { return std::get_if<Array>(&storage_); }
  const Dictionary* dictionary() const { return std::get_if<Dictionary>(&storage_); }
  Array* array() { return std::get_if<Array>(&storage_); }
  Dictionary* dictionary() { return std::get_if<Dictionary>(&storage_); }

  // An integer or a real, as a double; anything else gives nothing.
  std::optional<double> number() const;

  // The entry of a dictionary value, or null when this is not a dictionary or lacks the key.
  const PropertyValue* find(std::string_view key) const;

  bool operator==(const PropertyValue&) const = default;

 private:
  std::variant<bool, std::int64_t, double, std::string, PropertyData, PropertyDate, Array,
               Dictionary>
      storage_;
};

// "boolean", "integer", "float", "string", "data", "date", "array", "dictionary".
std::string_view typeName(PropertyValue::Type type);

// A readable rendering (the shape of the defaults tool's output), also used by test failures.
std::string describe(const PropertyValue& value);
std::ostream& operator<<(std::ostream& out, const PropertyValue& value);

// Property-list coding. Decoding accepts XML and binary property lists (told apart by their
// content) and gives nothing for anything it cannot read completely: malformed or truncated
// bytes, keyed-archive UIDs, dictionary keys that are not strings, strings that are not UTF-8,
// nesting deeper than 256.
//
// What the formats cannot hold: dates are kept to the whole second (the XML form has no
// fractions) between 1932-12-13 and 2069-01-19 (later or earlier dates are clamped, see
// isRepresentableDate); strings and keys end at their first NUL character, and bytes in them
// that are not UTF-8 are written as U+FFFD.
std::optional<PropertyValue> decodePropertyList(std::span<const std::uint8_t> bytes);
std::optional<PropertyValue> decodePropertyList(std::string_view bytes);
std::string encodeXmlPropertyList(const PropertyValue& value);
PropertyData encodeBinaryPropertyList(const PropertyValue& value);

// True when the date survives encoding unclamped.
bool isRepresentableDate(const PropertyDate& date);

}  // namespace quayline
