#pragma once

#include <memory>
#include <vector>

#include "foundation/Signal.h"
#include "platform/KeyInterception.h"
#include "platform/SystemLog.h"
#include "platform/linux/x11/KeyGrabs.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// Escape taken with a passive grab on the root window, held only while someone intercepts it:
// the press comes to the dock instead of the focused window, whatever locks are on.
class RootKeyInterception final : public KeyInterception {
 public:
  RootKeyInterception(XConnection& connection, SystemLog& log);
  ~RootKeyInterception() override;

  Subscription interceptEscape(std::function<void()> pressed) override;

 private:
  void release();

  XConnection& connection_;
  SystemLog& log_;
  Signal<> escape_;
  std::size_t holders_ = 0;
  std::vector<std::unique_ptr<KeyGrab>> grabs_;
  Subscription events_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quayline::x11
