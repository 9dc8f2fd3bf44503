// Property-list coding on top of libplist 2.2.
#include <plist/plist.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

#include "foundation/PropertyListLimits.h"
#include "foundation/PropertyValue.h"
#include "foundation/Utf8.h"

namespace quayline {
namespace {

struct NodeDeleter {
  void operator()(void* node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// Strings, data and iterators handed out by libplist 2.2 are plain malloc'd memory.
struct MallocDeleter {
  void operator()(void* memory) const { std::free(memory); }
};
using CString = std::unique_ptr<char, MallocDeleter>;

// Property-list dates count from 2001-01-01 00:00:00 UTC.
constexpr double kReferenceDateInUnixSeconds = 978307200;

PropertyDate dateFromNode(plist_t node) {
  std::int32_t seconds = 0;
  std::int32_t microseconds = 0;
  plist_get_date_val(node, &seconds, &microseconds);
  // libplist truncates towards zero and drops the sign of the fraction, so a negative
  // time with a fraction lies one second lower than its whole part.
  // Dates beyond the range arrive as its lowest second and stay there.
  std::int64_t whole = seconds;
  if (seconds < 0 && microseconds != 0 && seconds != std::numeric_limits<std::int32_t>::min()) {
    whole -= 1;
  }
  return {static_cast<double>(whole) + kReferenceDateInUnixSeconds};
}

std::optional<PropertyValue> fromNode(plist_t node, int depth);

std::optional<PropertyValue> arrayFromNode(plist_t node, int depth) {
  PropertyValue::Array items;
  const std::uint32_t count = plist_array_get_size(node);
  items.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    auto item = fromNode(plist_array_get_item(node, i), depth + 1);
    if (!item) {
      return std::nullopt;
    }
    items.push_back(std::move(*item));
  }
  return std::optional<PropertyValue>(std::in_place, std::move(items));
}

std::optional<PropertyValue> dictionaryFromNode(plist_t node, int depth) {
  PropertyValue::Dictionary entries;
  plist_dict_iter rawIterator = nullptr;
  plist_dict_new_iter(node, &rawIterator);
  const std::unique_ptr<void, MallocDeleter> iterator(rawIterator);
  const std::uint32_t count = plist_dict_get_size(node);
  for (std::uint32_t i = 0; i < count; ++i) {
    char* rawKey = nullptr;
    plist_t child = nullptr;
    plist_dict_next_item(node, iterator.get(), &rawKey, &child);
    const CString key(rawKey);
    if (!key || !child || !isValidUtf8(key.get())) {
      return std::nullopt;  // a key that is not a string
    }
    auto value = fromNode(child, depth + 1);
    if (!value) {
      return std::nullopt;
    }
    entries.insert_or_assign(key.get(), std::move(*value));
  }
  // Made in place: moving a finished value into the optional lets GCC 12 (-O2) lose track of
  // the variant's alternative and warn about the members of the others.
  return std::optional<PropertyValue>(std::in_place, std::move(entries));
}

std::optional<PropertyValue> fromNode(plist_t node, int depth) {
  if (!node || depth > kMaxPropertyListDepth) {
    return std::nullopt;
  }
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      std::uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return PropertyValue(value != 0);
    }
    case PLIST_UINT: {
      // libplist 2.2 keeps every integer as the 64-bit pattern of a signed value.
      std::uint64_t value = 0;
      plist_get_uint_val(node, &value);
      return PropertyValue(std::bit_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      return PropertyValue(value);
    }
    case PLIST_STRING: {
      char* raw = nullptr;
      plist_get_string_val(node, &raw);
      const CString value(raw);
      if (!value || !isValidUtf8(value.get())) {
        return std::nullopt;
      }
      return PropertyValue(std::string(value.get()));
    }
    case PLIST_DATA: {
      char* raw = nullptr;
      std::uint64_t length = 0;
      plist_get_data_val(node, &raw, &length);
      const CString value(raw);
      if (!value && length != 0) {
        return std::nullopt;
      }
      const auto* begin = reinterpret_cast<const std::uint8_t*>(value.get());
      return PropertyValue(PropertyData(begin, begin + length));
    }
    case PLIST_DATE:
      return PropertyValue(dateFromNode(node));
    case PLIST_ARRAY:
      return arrayFromNode(node, depth);
    case PLIST_DICT:
      return dictionaryFromNode(node, depth);
    default:
      // Keys outside dictionaries, keyed-archive UIDs and typeless nodes have no PropertyValue.
      return std::nullopt;
  }
}

std::int32_t referenceSeconds(const PropertyDate& date) {
  const double seconds = std::floor(date.unixSeconds - kReferenceDateInUnixSeconds);
  if (std::isnan(seconds)) {
    return 0;
  }
  constexpr double lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double highest = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(seconds, lowest, highest));
}

Node toNode(const PropertyValue& value) {
  switch (value.type()) {
    case PropertyValue::Type::boolean:
      return Node(plist_new_bool(*value.boolean() ? 1 : 0));
    case PropertyValue::Type::integer:
      return Node(plist_new_uint(std::bit_cast<std::uint64_t>(*value.integer())));
    case PropertyValue::Type::real:
      return Node(plist_new_real(*value.real()));
    case PropertyValue::Type::string:
      return Node(plist_new_string(validUtf8(*value.string()).c_str()));
    case PropertyValue::Type::data: {
      const PropertyData& data = *value.data();
      return Node(plist_new_data(reinterpret_cast<const char*>(data.data()), data.size()));
    }
    case PropertyValue::Type::date:
      return Node(plist_new_date(referenceSeconds(*value.date()), 0));
    case PropertyValue::Type::array: {
      Node array(plist_new_array());
      for (const PropertyValue& item : *value.array()) {
        plist_array_append_item(array.get(), toNode(item).release());
      }
      return array;
    }
    case PropertyValue::Type::dictionary: {
      Node dictionary(plist_new_dict());
      for (const auto& [key, item] : *value.dictionary()) {
        plist_dict_set_item(dictionary.get(), validUtf8(key).c_str(), toNode(item).release());
      }
      return dictionary;
    }
  }
  return Node(plist_new_dict());
}

}  // namespace

bool isRepresentableDate(const PropertyDate& date) {
  const double seconds = std::floor(date.unixSeconds - kReferenceDateInUnixSeconds);
  return seconds >= std::numeric_limits<std::int32_t>::min() &&
         seconds <= std::numeric_limits<std::int32_t>::max();
}

std::optional<PropertyValue> decodePropertyList(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max() ||
      !isWithinPropertyListLimits(bytes)) {
    return std::nullopt;
  }
  plist_t raw = nullptr;
  plist_from_memory(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::uint32_t>(bytes.size()), &raw);
  const Node root(raw);
  return fromNode(root.get(), 0);
}

std::optional<PropertyValue> decodePropertyList(std::string_view bytes) {
  return decodePropertyList(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::string encodeXmlPropertyList(const PropertyValue& value) {
  const Node root = toNode(value);
  char* xml = nullptr;
  std::uint32_t length = 0;
  plist_to_xml(root.get(), &xml, &length);
  std::string result(xml ? xml : "", xml ? length : 0);
  plist_to_xml_free(xml);
  return result;
}

PropertyData encodeBinaryPropertyList(const PropertyValue& value) {
  const Node root = toNode(value);
  char* binary = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(root.get(), &binary, &length);
  const auto* begin = reinterpret_cast<const std::uint8_t*>(binary);
  PropertyData result(begin, begin + (binary ? length : 0));
  plist_to_bin_free(binary);
  return result;
}

}  // namespace quayline
