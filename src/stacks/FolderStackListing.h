#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/FolderListing.h"
#include "stacks/FolderStackItem.h"

namespace quayline {

// Reading a folder for its stack: blocking, made on the stacks' queue.
namespace FolderStackListing {

inline constexpr std::size_t itemLimit = 120;

// What the stack says instead of items when the folder cannot be listed; the system's own error
// text is never shown.
std::string readError(FolderContents::Failure failure);

// Directories first, then by name in the file manager's order; entries the order cannot tell
// apart keep the order they came in. Only the first `limit` are sorted and kept, so a folder of
// a hundred thousand entries costs one pass over their names.
std::vector<FolderEntry> ordered(std::vector<FolderEntry> entries, std::size_t limit);

// Lists, orders and caps the folder, and looks up the kept items' icon names.
FolderStackListingResult read(FolderListing& listing, const std::string& folderPath,
                              std::size_t limit = itemLimit);

}  // namespace FolderStackListing
}  // namespace quayline
