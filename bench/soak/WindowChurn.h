#pragma once

// A client that keeps opening and closing top-level windows of one application (WM_CLASS
// "soak,Soak", _NET_WM_PID of this process), a few alive at a time, retitling some while
// they live.
#include <xcb/xcb.h>

#include <cstdint>
#include <deque>
#include <string>

namespace quayline::bench {

class WindowChurn {
 public:
  explicit WindowChurn(int alive);
  ~WindowChurn();
  WindowChurn(const WindowChurn&) = delete;
  WindowChurn& operator=(const WindowChurn&) = delete;

  bool usable() const { return xcb_connection_has_error(c_) == 0; }
  // Opens one more window and, once more than `alive` are open, closes the oldest. Every third
  // step retitles a window that stays open.
  void step();
  int opened() const { return opened_; }
  // Waits until the server has handled everything sent.
  void sync();

 private:
  void setTitle(xcb_window_t window, const std::string& title);
  xcb_atom_t atom(const char* name);

  xcb_connection_t* c_;
  xcb_screen_t* screen_ = nullptr;
  std::size_t alive_;
  std::deque<xcb_window_t> windows_;
  int opened_ = 0;
  xcb_atom_t netWmName_ = XCB_ATOM_NONE;
  xcb_atom_t netWmPid_ = XCB_ATOM_NONE;
  xcb_atom_t utf8_ = XCB_ATOM_NONE;
};

}  // namespace quayline::bench
