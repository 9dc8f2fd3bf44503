#include "chrome/ChromeAvatarCatalog.h"

#include "foundation/RegularFile.h"
#include "platform/ImageDecoding.h"

namespace quayline {

ChromeAvatarCatalog::ChromeAvatarCatalog(std::vector<std::filesystem::path> candidatePacks,
                                         ImageDecoding& decoder)
    : candidatePacks_(std::move(candidatePacks)), decoder_(decoder) {}

void ChromeAvatarCatalog::load() {
  loaded_ = true;
  for (const auto& path : candidatePacks_) {
    const auto file = readRegularFile(path, kMaximumPackBytes);
    if (!file) {
      continue;
    }
    const auto pack = readResourcePack(file->bytes);
    if (!pack) {
      continue;
    }
    // The first readable pack decides, even when it holds no avatars.
    block_ = locateAvatarBlock(*pack);
    if (block_) {
      for (int j = 0; j < block_->count; ++j) {
        blockResources_.emplace_back(
            pack->at(static_cast<ResourceId>(block_->firstResourceID + j)));
      }
    }
    return;
  }
}

std::shared_ptr<const ArgbImage> ChromeAvatarCatalog::image(int avatarNumber) {
  if (const auto found = decoded_.find(avatarNumber); found != decoded_.end()) {
    return found->second;
  }
  if (!loaded_) {
    load();
  }
  if (!block_ || avatarNumber < kFirstAvatarNumber ||
      avatarNumber - kFirstAvatarNumber >= block_->count) {
    return nullptr;
  }
  auto decoded =
      decoder_.decode(blockResources_[static_cast<std::size_t>(avatarNumber - kFirstAvatarNumber)]);
  if (!decoded) {
    return nullptr;
  }
  auto image = std::make_shared<const ArgbImage>(std::move(*decoded));
  decoded_.emplace(avatarNumber, image);
  return image;
}

std::size_t ChromeAvatarCatalog::keptBytes() const {
  std::size_t bytes = 0;
  for (const auto& resource : blockResources_) {
    bytes += resource.capacity();
  }
  for (const auto& [number, image] : decoded_) {
    bytes += image->pixels.capacity() * sizeof(std::uint32_t);
  }
  return bytes;
}

}  // namespace quayline
