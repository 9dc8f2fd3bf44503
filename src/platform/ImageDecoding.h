#pragma once

#include <optional>
#include <string_view>

#include "platform/ArgbImage.h"

namespace quayline {

// Turns encoded picture bytes (PNG, JPEG, …) into a bitmap.
class ImageDecoding {
 public:
  // Larger pictures are refused from their header, before any pixel is decoded: a small file
  // can claim a bitmap of gigabytes.
  static constexpr int kMaximumSide = 1024;

  virtual ~ImageDecoding() = default;
  // Nothing for bytes that do not decode or a picture wider or taller than `kMaximumSide`.
  virtual std::optional<ArgbImage> decode(std::string_view bytes) = 0;
};

}  // namespace quayline
