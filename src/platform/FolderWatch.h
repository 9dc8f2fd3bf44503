#pragma once

#include <functional>
#include <string>

#include "foundation/Subscription.h"

namespace quayline {

// Tells of changes to the entries of one folder: an entry created, written and closed, renamed
// into or out of it, deleted, or its attributes changed. Writers that replace a file by renaming
// a temporary one over it are thereby seen once per write, and the file is followed across
// replacements without being watched itself.
class FolderWatch {
 public:
  virtual ~FolderWatch() = default;

  // `changed` hears the name of the entry concerned, on the main thread. An inactive handle
  // when the folder cannot be watched (it does not exist yet, say).
  virtual Subscription watch(const std::string& folder,
                             std::function<void(const std::string& entry)> changed) = 0;
  // Like `watch`, and also tells of each write to an entry whose writer keeps it open and
  // appends to it. A watch that cannot see such writes tells of the others only.
  virtual Subscription watchWrites(const std::string& folder,
                                   std::function<void(const std::string& entry)> changed) {
    return watch(folder, std::move(changed));
  }
};

}  // namespace quayline
