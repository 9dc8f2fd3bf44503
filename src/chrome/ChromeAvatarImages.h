#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "chrome/ChromeAvatar.h"
#include "chrome/ChromeProfile.h"

namespace quayline {

class ChromeAvatarCatalog;
class ImageDecoding;

// The avatar numbers "Local State" names as "…IDR_PROFILE_AVATAR_<n>"; nothing unless the text
// after the first occurrence is an optionally signed decimal integer.
std::optional<int> chromeAvatarNumber(std::string_view avatarIconValue);

// A name that stays one entry inside its folder: not empty, no "/", neither "." nor "..".
bool isPlainFileName(std::string_view name);

// The key of a rasterised avatar in the icon cache.
std::string chromeAvatarCacheKey(std::string_view directory, const ChromeAvatar& avatar,
                                 int pixels);

// The profile service's avatars: the account picture in the profile's folder, else the
// browser's built-in avatar, else none. Both results and failures are kept until `forget`, which
// the service calls on every reload: a missing picture is not looked for on every draw.
class ChromeAvatarImages {
 public:
  // Larger account pictures are refused unread.
  static constexpr std::size_t kMaximumPictureBytes = std::size_t{8} << 20;

  ChromeAvatarImages(std::filesystem::path supportDirectory, ChromeAvatarCatalog& catalog,
                     ImageDecoding& decoder);

  std::optional<ChromeAvatar> image(const ChromeProfile& profile);
  void forget() { known_.clear(); }

 private:
  std::optional<ChromeAvatar> pictureFile(const ChromeProfile& profile);

  std::filesystem::path supportDirectory_;
  ChromeAvatarCatalog& catalog_;
  ImageDecoding& decoder_;
  // By profile directory; an empty value remembers a failure.
  std::map<std::string, std::optional<ChromeAvatar>, std::less<>> known_;
};

}  // namespace quayline
