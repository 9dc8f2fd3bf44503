#pragma once

// The X server's own account of what a client holds (the X-Resource extension), asked through
// xcb's generic extension calls since no binding for it is installed.
#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quayline::bench {

// Resource counts by type name ("WINDOW", "PIXMAP", "DAMAGE" …).
using ResourceCounts = std::map<std::string, std::uint32_t>;

class XResourceCounts {
 public:
  // Nothing when the server lacks the extension.
  static std::optional<XResourceCounts> open(xcb_connection_t* c);

  // The base of the client that created `window`.
  std::optional<std::uint32_t> clientOf(xcb_window_t window);
  // The bases of every local client of the process (needs version 1.2); empty when the server
  // cannot tell.
  std::vector<std::uint32_t> clientsOfProcess(pid_t pid);
  // What one client holds; nothing when the client is gone.
  std::optional<ResourceCounts> resources(std::uint32_t clientBase);

  int majorVersion() const { return major_; }
  int minorVersion() const { return minor_; }

 private:
  explicit XResourceCounts(xcb_connection_t* c) : c_(c) {}
  std::string atomName(xcb_atom_t atom);

  xcb_connection_t* c_;
  int major_ = 0;
  int minor_ = 0;
  std::map<xcb_atom_t, std::string> names_;
};

// Sums the counts of several clients.
ResourceCounts total(XResourceCounts& server, const std::vector<std::uint32_t>& clientBases);

}  // namespace quayline::bench
