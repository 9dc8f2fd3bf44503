#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

namespace quayline::bench {

using Clock = std::chrono::steady_clock;

// Override-redirect windows mapped on the root, as this connection hears of them.
class MapWatch {
 public:
  MapWatch() : c_(xcb_connect(nullptr, nullptr)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    sync();
  }
  ~MapWatch() { xcb_disconnect(c_); }
  MapWatch(const MapWatch&) = delete;
  MapWatch& operator=(const MapWatch&) = delete;

  void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
  void drain() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
      std::free(event);
    }
  }
  void warp(int x, int y) {
    xcb_warp_pointer(c_, XCB_WINDOW_NONE, root_, 0, 0, 0, 0, static_cast<std::int16_t>(x),
                     static_cast<std::int16_t>(y));
    xcb_flush(c_);
  }
  // When the next popup was mapped (or unmapped); nothing after `timeout`.
  std::optional<Clock::time_point> next(std::uint8_t type, std::chrono::milliseconds timeout) {
    const auto until = Clock::now() + timeout;
    while (Clock::now() < until) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
        const std::uint8_t kind = event->response_type & 0x7f;
        bool popup = false;
        if (kind == XCB_MAP_NOTIFY && type == XCB_MAP_NOTIFY) {
          const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
          popup = map->override_redirect != 0;
          if (popup) {
            mapped_ = map->window;
          }
        } else if (kind == XCB_UNMAP_NOTIFY && type == XCB_UNMAP_NOTIFY) {
          popup = true;
        }
        std::free(event);
        if (popup) {
          return Clock::now();
        }
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return std::nullopt;
  }

  xcb_connection_t* connection() const { return c_; }
  xcb_window_t root() const { return root_; }
  // The popup the last `next(XCB_MAP_NOTIFY, …)` saw.
  xcb_window_t mapped() const { return mapped_; }
  // The screen's colour at root coordinates, 0xRRGGBB.
  std::uint32_t pixel(int x, int y) {
    auto* image = xcb_get_image_reply(
        c_,
        xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), 1, 1, ~0u),
        nullptr);
    std::uint32_t colour = 0;
    if (image != nullptr && xcb_get_image_data_length(image) >= 4) {
      const std::uint8_t* data = xcb_get_image_data(image);
      colour = static_cast<std::uint32_t>(data[2]) << 16 |
               static_cast<std::uint32_t>(data[1]) << 8 | data[0];
    }
    std::free(image);
    return colour;
  }

 private:
  xcb_connection_t* c_;
  xcb_window_t mapped_ = XCB_WINDOW_NONE;
  xcb_window_t root_;
};

}  // namespace quayline::bench
