#include "platform/linux/DomainFiles.h"

#include "platform/PreferenceDomains.h"

namespace quayline {
namespace {

constexpr std::string_view kExtension = ".plist";
constexpr std::string_view kGlobalFileName = ".GlobalPreferences.plist";
// The longest file name Linux file systems take, less the ".plist.corrupt" a bad file may need.
constexpr std::size_t kMaxDomainLength = 255 - std::string_view(".plist.corrupt").size();

bool isValidDomainName(std::string_view domain) {
  return !domain.empty() && domain != "." && domain != ".." &&
         domain.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos &&
         domain.size() <= kMaxDomainLength;
}

}  // namespace

std::optional<std::string> domainFileName(std::string_view domain) {
  if (domain == PreferenceDomains::anyApplication) {
    return std::string(kGlobalFileName);
  }
  if (!isValidDomainName(domain)) {
    return std::nullopt;
  }
  return std::string(domain) + std::string(kExtension);
}

std::optional<std::string> domainForFileName(std::string_view fileName) {
  if (fileName == kGlobalFileName) {
    return std::string(PreferenceDomains::anyApplication);
  }
  if (!fileName.ends_with(kExtension)) {
    return std::nullopt;
  }
  const std::string_view domain = fileName.substr(0, fileName.size() - kExtension.size());
  // A file named after the global domain is never the one that domain reads.
  if (domain == PreferenceDomains::anyApplication || !isValidDomainName(domain)) {
    return std::nullopt;
  }
  return std::string(domain);
}

std::optional<PropertyValue::Dictionary> parseDomainFile(std::span<const std::uint8_t> bytes) {
  std::optional<PropertyValue> decoded = decodePropertyList(bytes);
  if (!decoded || !decoded->dictionary()) {
    return std::nullopt;
  }
  return std::move(*decoded->dictionary());
}

}  // namespace quayline
