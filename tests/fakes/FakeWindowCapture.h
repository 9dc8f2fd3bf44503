#pragma once

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "foundation/Signal.h"
#include "platform/WindowCapture.h"

namespace quayline {

// Windows held in memory, each captured as a single colour at whatever size is asked. Records
// every capture; `destroy` reports a window's end as the window system would.
class FakeWindowCapture final : public WindowCapture {
 public:
  bool hasPermission() override { return permitted; }
  Content shareableWindows() override {
    if (failure) {
      return *failure;
    }
    return windows;
  }
  WindowImageRef capture(WindowNumber window, PixelSize size) override {
    std::lock_guard lock(mutex);
    captures.emplace_back(window, size);
    const auto colour = colours.find(window);
    if (colour == colours.end()) {
      return nullptr;
    }
    auto image = std::make_shared<WindowImage>();
    image->width = size.width;
    image->height = size.height;
    image->pixels.assign(static_cast<std::size_t>(size.width) * size.height, colour->second);
    return image;
  }
  Subscription observeDestruction(std::function<void(WindowNumber)> observer) override {
    return destructions.connect(std::move(observer));
  }

  void add(WindowNumber number, Rect frame, std::uint32_t colour) {
    windows.push_back({number, frame});
    colours[number] = colour;
  }
  void destroy(WindowNumber number) {
    std::erase_if(windows, [&](const ShareableWindow& w) { return w.number == number; });
    colours.erase(number);
    destructions.emit(number);
  }

  bool permitted = true;
  std::optional<std::string> failure;
  std::vector<ShareableWindow> windows;
  std::map<WindowNumber, std::uint32_t> colours;
  std::vector<std::pair<WindowNumber, PixelSize>> captures;
  std::mutex mutex;
  Signal<WindowNumber> destructions;
};

}  // namespace quayline
