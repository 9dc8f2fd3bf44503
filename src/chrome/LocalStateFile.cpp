#include "chrome/LocalStateFile.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "foundation/FileReading.h"
#include "foundation/Json.h"

namespace quayline::local_state {
namespace {

std::string stringAt(const Json& info, const char* key) {
  const auto found = info.find(key);
  return found != info.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// The browser writes colours as signed 32-bit integers. Anything that is not an integral number
// within 64 bits is no colour, rather than a conversion with undefined behaviour.
std::optional<std::int64_t> integerAt(const Json& info, const char* key) {
  const auto found = info.find(key);
  if (found == info.end()) {
    return std::nullopt;
  }
  if (found->is_number_integer() && !found->is_number_unsigned()) {
    return found->get<std::int64_t>();
  }
  if (found->is_number_unsigned()) {
    return static_cast<std::int64_t>(found->get<std::uint64_t>());
  }
  if (found->is_number_float()) {
    const double value = found->get<double>();
    // 2^63 itself is out of range; every double below it converts exactly.
    if (std::isfinite(value) && value == std::trunc(value) && value >= -9223372036854775808.0 &&
        value < 9223372036854775808.0) {
      return static_cast<std::int64_t>(value);
    }
  }
  return std::nullopt;
}

// A picture name from the file names a file inside the profile's folder, nothing else.
bool isPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

std::optional<Url> avatarURL(const Json& info, const std::filesystem::path& supportDirectory,
                             const std::string& directory) {
  auto name = stringAt(info, "gaia_picture_file_name");
  if (name.empty()) {
    name = "Google Profile Picture.png";
  }
  if (!isPlainFileName(name) || !isPlainFileName(directory)) {
    return std::nullopt;
  }
  const auto path = supportDirectory / directory / name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return std::nullopt;
  }
  return Url::fileURL(path.string());
}

}  // namespace

std::optional<std::vector<ChromeProfile>> parse(std::string_view text,
                                                const std::filesystem::path& supportDirectory) {
  const auto root = parseJson(text);
  if (!root || !root->is_object()) {
    return std::nullopt;
  }
  const auto profile = root->find("profile");
  if (profile == root->end() || !profile->is_object()) {
    return std::nullopt;
  }
  const auto cache = profile->find("info_cache");
  if (cache == profile->end() || !cache->is_object() ||
      !std::all_of(cache->begin(), cache->end(), [](const Json& v) { return v.is_object(); })) {
    return std::nullopt;
  }

  std::map<std::string, std::size_t> position;
  if (const auto order = profile->find("profiles_order");
      order != profile->end() && order->is_array() &&
      std::all_of(order->begin(), order->end(), [](const Json& v) { return v.is_string(); })) {
    for (std::size_t index = 0; index < order->size(); ++index) {
      position[(*order)[index].get<std::string>()] = index;
    }
  }

  std::vector<ChromeProfile> profiles;
  for (const auto& [directory, info] : cache->items()) {
    if (const auto ephemeral = info.find("is_ephemeral");
        ephemeral != info.end() && ephemeral->is_boolean() && ephemeral->get<bool>()) {
      continue;
    }
    ChromeProfile entry;
    entry.directory = directory;
    entry.name = stringAt(info, "name");
    if (entry.name.empty()) {
      entry.name = directory;
    }
    entry.givenName = stringAt(info, "gaia_given_name");
    entry.accountName = stringAt(info, "gaia_name");
    entry.email = stringAt(info, "user_name");
    const auto usesDefault = info.find("is_using_default_name");
    entry.usesDefaultName =
        usesDefault != info.end() && usesDefault->is_boolean() && usesDefault->get<bool>();
    entry.avatarURL = avatarURL(info, supportDirectory, directory);
    entry.avatarIconValue = stringAt(info, "avatar_icon");
    auto colour = integerAt(info, "default_avatar_fill_color");
    if (!colour) {
      colour = integerAt(info, "profile_highlight_color");
    }
    if (colour) {
      entry.badgeColorARGB = static_cast<std::uint32_t>(static_cast<std::uint64_t>(*colour));
    }
    profiles.push_back(std::move(entry));
  }

  std::stable_sort(profiles.begin(), profiles.end(), [&](const auto& a, const auto& b) {
    const auto pa = position.find(a.directory);
    const auto pb = position.find(b.directory);
    const bool listedA = pa != position.end();
    const bool listedB = pb != position.end();
    if (listedA != listedB) {
      return listedA;
    }
    if (listedA && pa->second != pb->second) {
      return pa->second < pb->second;
    }
    return a.directory < b.directory;
  });
  return profiles;
}

std::optional<std::vector<ChromeProfile>> read(const std::filesystem::path& file,
                                               const std::filesystem::path& supportDirectory) {
  // A FIFO put in its place would block the reading queue for good.
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    return std::nullopt;
  }
  const auto text = readFile(file, sizeLimit);
  if (!text) {
    return std::nullopt;
  }
  return parse(*text, supportDirectory);
}

}  // namespace quayline::local_state
