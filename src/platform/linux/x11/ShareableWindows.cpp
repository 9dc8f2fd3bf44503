#include "platform/linux/x11/ShareableWindows.h"

#include <unistd.h>

#include "platform/linux/x11/WindowQuery.h"

namespace quayline::x11 {

WindowCapture::Content readShareableWindows(XConnection& connection, const PixelSpace& space,
                                            Deadline deadline) {
  if (connection.isLost()) {
    return std::string("the connection to the X server is lost");
  }
  WindowQuery rootQuery(connection, deadline);
  rootQuery.requestRoot(kClientList);
  rootQuery.collect();
  if (!rootQuery.root().clients) {
    return std::string("the window manager's client list cannot be read");
  }
  const std::vector<xcb_window_t>& clients = *rootQuery.root().clients;
  WindowQuery query(connection, deadline);
  for (const xcb_window_t window : clients) {
    query.requestWindow(window, kPid | kGeometry | kExtents);
  }
  query.collect();
  std::vector<ShareableWindow> result;
  for (std::size_t i = 0; i < clients.size(); ++i) {
    const WindowFacts& facts = query.window(i);
    if (!facts.exists || !facts.clientOrigin || !facts.clientSize ||
        (facts.pid && *facts.pid == static_cast<std::uint32_t>(::getpid()))) {
      continue;  // gone since the list was written, or one of ours
    }
    // Captures hold the client area only: sized from the whole frame they would be stretched.
    const Rect client(facts.clientOrigin->x, facts.clientOrigin->y, facts.clientSize->width,
                      facts.clientSize->height);
    result.push_back({clients[i], rootToGlobal(space.toLogical(client), space.primaryOrigin())});
  }
  return result;
}

}  // namespace quayline::x11
