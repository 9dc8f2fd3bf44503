#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quayline::x11 {

// A message of the freedesktop startup-notification protocol: "new: ID=… NAME=…",
// "change: …" or "remove: ID=…".
struct StartupMessage {
  std::string type;  // "new", "change", "remove"
  std::map<std::string, std::string> fields;

  std::optional<std::string> field(std::string_view key) const;
  bool operator==(const StartupMessage&) const = default;
};

// Nothing when the text is not a message at all. Values may be quoted, with backslash escapes.
std::optional<StartupMessage> parseStartupMessage(std::string_view text);
std::string formatStartupMessage(const StartupMessage& message);

// The 20-byte pieces a message travels in: the first as _NET_STARTUP_INFO_BEGIN, the others as
// _NET_STARTUP_INFO, the last holding the terminating NUL.
std::vector<std::string> startupMessageChunks(std::string_view text);

// Joins the pieces of the messages several senders broadcast at once.
class StartupMessageAssembler {
 public:
  // A complete message text once its last piece arrives.
  std::optional<std::string> add(xcb_window_t sender, bool begins, const std::uint8_t* data20);

 private:
  std::map<xcb_window_t, std::string> partial_;
};

}  // namespace quayline::x11
