#include "stacks/FolderStackListing.h"

#include <algorithm>
#include <numeric>

#include "foundation/NaturalOrder.h"

namespace quayline {

std::string FolderStackListing::readError(FolderContents::Failure failure) {
  switch (failure) {
    case FolderContents::Failure::none:
      return {};
    case FolderContents::Failure::notFound:
      return "This folder can't be found. It may have been moved, renamed or deleted.";
    case FolderContents::Failure::notAllowed:
      return "You don't have permission to read this folder. Open it in the file manager "
             "below, or change its permissions.";
    case FolderContents::Failure::unreadable:
      break;
  }
  return "This folder can't be read right now. Open it in the file manager below.";
}

std::vector<FolderEntry> FolderStackListing::ordered(std::vector<FolderEntry> entries,
                                                     std::size_t limit) {
  const NaturalOrder order;
  const auto before = [&](std::size_t a, std::size_t b) {
    if (entries[a].isDirectory != entries[b].isDirectory) {
      return entries[a].isDirectory;
    }
    const int compared = order.compare(entries[a].name, entries[b].name);
    return compared != 0 ? compared < 0 : a < b;
  };
  // The kept entries as a heap whose top is the last of them: most entries of a large folder
  // cost one comparison with it.
  std::vector<std::size_t> kept;
  kept.reserve(std::min(limit, entries.size()) + 1);
  for (std::size_t i = 0; i < entries.size() && limit > 0; ++i) {
    if (kept.size() < limit) {
      kept.push_back(i);
      std::push_heap(kept.begin(), kept.end(), before);
    } else if (before(i, kept.front())) {
      std::pop_heap(kept.begin(), kept.end(), before);
      kept.back() = i;
      std::push_heap(kept.begin(), kept.end(), before);
    }
  }
  std::sort_heap(kept.begin(), kept.end(), before);
  std::vector<FolderEntry> result;
  result.reserve(kept.size());
  for (const std::size_t index : kept) {
    result.push_back(std::move(entries[index]));
  }
  return result;
}

FolderStackListingResult FolderStackListing::read(FolderListing& listing,
                                                  const std::string& folderPath,
                                                  std::size_t limit) {
  FolderContents contents = listing.list(folderPath);
  FolderStackListingResult result;
  if (contents.failure != FolderContents::Failure::none) {
    result.readError = readError(contents.failure);
    return result;
  }
  for (FolderEntry& entry : ordered(std::move(contents.entries), limit)) {
    FolderStackItem item{Url::fileURL(entry.path, entry.isDirectory), entry.path, entry.name,
                         entry.isDirectory, listing.iconNames(entry)};
    result.items.push_back(std::move(item));
  }
  return result;
}

}  // namespace quayline
