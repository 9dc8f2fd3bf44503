#pragma once

#include "platform/ImageDecoding.h"

namespace quayline {

// Qt's image reader, asked for the picture's size before it decodes a single pixel.
class QtImageDecoding final : public ImageDecoding {
 public:
  std::optional<ArgbImage> decode(std::string_view bytes) override;
};

}  // namespace quayline
