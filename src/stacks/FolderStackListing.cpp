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
  struct Key {
    bool isDirectory;
    std::string name;
    std::size_t index;
  };
  std::vector<Key> keys;
  keys.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    keys.push_back({entries[i].isDirectory, order.sortKey(entries[i].name), i});
  }
  const auto before = [](const Key& a, const Key& b) {
    if (a.isDirectory != b.isDirectory) {
      return a.isDirectory;
    }
    if (a.name != b.name) {
      return a.name < b.name;
    }
    return a.index < b.index;
  };
  const std::size_t kept = std::min(limit, keys.size());
  std::partial_sort(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(kept), keys.end(),
                    before);
  std::vector<FolderEntry> result;
  result.reserve(kept);
  for (std::size_t i = 0; i < kept; ++i) {
    result.push_back(std::move(entries[keys[i].index]));
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
