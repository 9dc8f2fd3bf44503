#pragma once

#include <memory>
#include <string>

#include "platform/MouseTap.h"

namespace quayline::x11 {

class SharedPixelSpace;

// The edge clicks' tap on X11: a passive grab of the primary button on the root, with any
// modifier and the pointer synchronous, on a connection and thread of its own. The grab freezes
// every click on the display until it is answered, so no answer may wait for the main thread:
// a click passed on is replayed to the window under it (ReplayPointer), a swallowed one keeps
// the grab until its release, which then comes here and nowhere else. A window manager holding
// the same grab (BadAccess) makes creation fail.
class X11MouseTap final : public MouseTap {
 public:
  // `displayName` null for DISPLAY; `pixels` converts X pixels to points (none: one to one).
  explicit X11MouseTap(const SharedPixelSpace* pixels, std::string displayName = {});
  std::unique_ptr<Tap> create(Callback callback) override;
  std::string_view refusalReason() const override { return refusal_; }

 private:
  class ButtonTap;
  const SharedPixelSpace* pixels_;
  std::string displayName_;
  std::string refusal_ = "not tried";
};

}  // namespace quayline::x11
