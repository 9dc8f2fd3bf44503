// Feeds arbitrary bytes to the preference-file parser. Whatever parses must survive being
// written back (as the XML the store writes, and as a binary list) and read again unchanged.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/DomainFiles.h"

namespace {

using quayline::PropertyValue;

// Equality as the coding promises it; a NaN read back is still the same NaN.
bool same(const PropertyValue& left, const PropertyValue& right) {
  if (left.type() != right.type()) {
    return false;
  }
  if (const double* real = left.real()) {
    return *real == *right.real() || (std::isnan(*real) && std::isnan(*right.real()));
  }
  if (const auto* items = left.array()) {
    const auto& others = *right.array();
    if (items->size() != others.size()) {
      return false;
    }
    for (std::size_t i = 0; i < items->size(); ++i) {
      if (!same((*items)[i], others[i])) {
        return false;
      }
    }
    return true;
  }
  if (const auto* entries = left.dictionary()) {
    const auto& others = *right.dictionary();
    if (entries->size() != others.size()) {
      return false;
    }
    for (auto a = entries->begin(), b = others.begin(); a != entries->end(); ++a, ++b) {
      if (a->first != b->first || !same(a->second, b->second)) {
        return false;
      }
    }
    return true;
  }
  return left == right;
}

void expectRoundTrip(const PropertyValue& original, std::span<const std::uint8_t> encoded,
                     const char* format) {
  const auto decoded = quayline::parseDomainFile(encoded);
  if (!decoded || !same(PropertyValue(*decoded), original)) {
    std::fprintf(stderr, "%s round trip changed the value:\n%s\n", format,
                 quayline::describe(original).c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parsed = quayline::parseDomainFile(std::span(data, size));
  if (!parsed) {
    return 0;
  }
  const PropertyValue value(std::move(*parsed));
  const std::string xml = quayline::encodeXmlPropertyList(value);
  expectRoundTrip(value, std::span(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()),
                  "XML");
  expectRoundTrip(value, quayline::encodeBinaryPropertyList(value), "binary");
  return 0;
}
