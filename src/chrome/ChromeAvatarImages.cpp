#include "chrome/ChromeAvatarImages.h"

#include <charconv>
#include <limits>

#include "chrome/ChromeAvatarCatalog.h"
#include "foundation/RegularFile.h"
#include "platform/ImageDecoding.h"

namespace quayline {

std::optional<int> chromeAvatarNumber(std::string_view avatarIconValue) {
  static constexpr std::string_view marker = "IDR_PROFILE_AVATAR_";
  const std::size_t at = avatarIconValue.find(marker);
  if (at == std::string_view::npos) {
    return std::nullopt;
  }
  std::string_view digits = avatarIconValue.substr(at + marker.size());
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  long long value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  // from_chars would take a sign of its own; the one above is the only one allowed.
  if (digits.empty() || digits.front() == '-' || error != std::errc() ||
      end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  value = negative ? -value : value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

bool isPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

std::string chromeAvatarCacheKey(std::string_view directory, const ChromeAvatar& avatar,
                                 int pixels) {
  std::string key = "image:avatar:";
  key += directory;
  key += ':';
  key += avatar.version;
  key += ':';
  key += std::to_string(pixels);
  return key;
}

ChromeAvatarImages::ChromeAvatarImages(std::filesystem::path supportDirectory,
                                       ChromeAvatarCatalog& catalog, ImageDecoding& decoder)
    : supportDirectory_(std::move(supportDirectory)), catalog_(catalog), decoder_(decoder) {}

std::optional<ChromeAvatar> ChromeAvatarImages::pictureFile(const ChromeProfile& profile) {
  if (!profile.avatarURL || !profile.avatarURL->isFileURL()) {
    return std::nullopt;
  }
  // "Local State" names both the folder and the file: they must not lead out of the profile.
  const std::filesystem::path path = profile.avatarURL->path();
  const std::string name = path.filename().string();
  if (!isPlainFileName(profile.directory) || !isPlainFileName(name) ||
      path != supportDirectory_ / profile.directory / name) {
    return std::nullopt;
  }
  auto file = readRegularFile(path, kMaximumPictureBytes);
  if (!file) {
    return std::nullopt;
  }
  auto decoded = decoder_.decode(file->bytes);
  if (!decoded) {
    return std::nullopt;
  }
  return ChromeAvatar{
      std::make_shared<const ArgbImage>(std::move(*decoded)),
      "file:" + std::to_string(file->size) + ":" + std::to_string(file->modificationNanoseconds)};
}

std::optional<ChromeAvatar> ChromeAvatarImages::image(const ChromeProfile& profile) {
  if (const auto found = known_.find(profile.directory); found != known_.end()) {
    return found->second;
  }
  std::optional<ChromeAvatar> avatar = pictureFile(profile);
  if (!avatar) {
    if (const auto number = chromeAvatarNumber(profile.avatarIconValue)) {
      if (auto builtIn = catalog_.image(*number)) {
        avatar = ChromeAvatar{std::move(builtIn), "avatar:" + std::to_string(*number)};
      }
    }
  }
  known_.emplace(profile.directory, avatar);
  return avatar;
}

}  // namespace quayline
