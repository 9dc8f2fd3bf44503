#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace quayline {

// The user's Trash as the platform keeps it. Every operation may be slow: callers run them on
// a background queue.
class Trash {
 public:
  virtual ~Trash() = default;

  // Hands the names of the trashed items to `visit`, one by one, until it returns false.
  // False when no trash folder could be listed at all (none exists, none may be read).
  virtual bool listItems(const std::function<bool(std::string_view name)>& visit) = 0;

  // The number of items as the file manager counts them, asked only where that needs no
  // permission prompt; none where it cannot be asked or gives no answer.
  virtual std::optional<std::int64_t> fileManagerItemCount() = 0;

  // Deletes every trashed item for good; what cannot be deleted stays where it is.
  virtual void empty() = 0;

  // Shows the Trash in the file manager; nothing when it cannot be found.
  virtual void open() = 0;
};

}  // namespace quayline
