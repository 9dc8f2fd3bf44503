#pragma once

#include "platform/WindowCapture.h"

namespace quayline::x11 {

// The largest size of at most `longSide` pixels on its longer side with the proportions of
// `size`; `size` itself when it is no larger.
PixelSize fittedWithin(PixelSize size, int longSide);

// `image` at exactly `size`: each target pixel is the mean of the source pixels under it (the
// nearest one when enlarging). Premultiplied pixels average correctly channel by channel.
WindowImageRef resampled(const WindowImage& image, PixelSize size);

}  // namespace quayline::x11
