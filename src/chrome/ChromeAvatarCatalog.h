#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chrome/ResourcePack.h"
#include "platform/ArgbImage.h"

namespace quayline {

class ImageDecoding;

// The browser's built-in avatar pictures, found by their contents in its resource pack since
// resource ids change with every browser version. The first request reads the pack, keeps only
// the avatar block's bytes and lets the rest go; a pack left mapped for the whole run would
// crash the dock when the package manager rewrites it in place. Main thread only.
class ChromeAvatarCatalog {
 public:
  // The first avatar number the block serves; lower numbers name no picture of it.
  static constexpr int kFirstAvatarNumber = 27;
  // Larger files are not resource packs of a browser.
  static constexpr std::size_t kMaximumPackBytes = std::size_t{256} << 20;

  // `candidatePacks` in order of preference; the first that reads as a pack is used.
  ChromeAvatarCatalog(std::vector<std::filesystem::path> candidatePacks, ImageDecoding& decoder);

  std::shared_ptr<const ArgbImage> image(int avatarNumber);

  // The bytes held for the rest of the run: the block's resources and the decoded pictures.
  std::size_t keptBytes() const;
  std::optional<AvatarBlock> block() const { return block_; }

 private:
  void load();

  std::vector<std::filesystem::path> candidatePacks_;
  ImageDecoding& decoder_;
  bool loaded_ = false;
  std::optional<AvatarBlock> block_;
  // The block's resources, in id order.
  std::vector<std::string> blockResources_;
  std::map<int, std::shared_ptr<const ArgbImage>> decoded_;
};

}  // namespace quayline
