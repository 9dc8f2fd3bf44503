#include "WindowChurn.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace quayline::bench {

WindowChurn::WindowChurn(int alive)
    : c_(xcb_connect(nullptr, nullptr)), alive_(static_cast<std::size_t>(alive)) {
  if (!usable()) {
    return;
  }
  screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
  netWmName_ = atom("_NET_WM_NAME");
  netWmPid_ = atom("_NET_WM_PID");
  utf8_ = atom("UTF8_STRING");
}

WindowChurn::~WindowChurn() {
  xcb_disconnect(c_);
}

xcb_atom_t WindowChurn::atom(const char* name) {
  auto* reply = xcb_intern_atom_reply(
      c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return result;
}

void WindowChurn::setTitle(xcb_window_t window, const std::string& title) {
  const auto length = static_cast<std::uint32_t>(title.size());
  xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      length, title.data());
  xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, netWmName_, utf8_, 8, length,
                      title.data());
}

void WindowChurn::step() {
  const xcb_window_t window = xcb_generate_id(c_);
  // Colours vary so captured thumbnails differ.
  const std::uint32_t values[] = {0x203040u + static_cast<std::uint32_t>(opened_ % 64) * 0x30201u};
  const auto x = static_cast<std::int16_t>(40 + (opened_ * 37) % 700);
  const auto y = static_cast<std::int16_t>(40 + (opened_ * 23) % 400);
  xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, screen_->root, x, y, 320, 200, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_BACK_PIXEL, values);
  static constexpr char kClass[] = "soak\0Soak";
  xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      sizeof kClass, kClass);
  const auto pid = static_cast<std::uint32_t>(::getpid());
  xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, netWmPid_, XCB_ATOM_CARDINAL, 32, 1, &pid);
  setTitle(window, "Soak " + std::to_string(opened_));
  xcb_map_window(c_, window);
  windows_.push_back(window);
  ++opened_;
  if (opened_ % 3 == 0 && windows_.size() > 1) {
    setTitle(windows_[windows_.size() / 2],
             "Soak retitled " + std::to_string(opened_) + " — ünïcödé");
  }
  if (windows_.size() > alive_) {
    xcb_destroy_window(c_, windows_.front());
    windows_.pop_front();
  }
  xcb_flush(c_);
}

void WindowChurn::sync() {
  std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
}

}  // namespace quayline::bench
