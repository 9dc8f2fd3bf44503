#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/Url.h"

namespace quayline {

// One entry of a folder stack. Its identity is its path, which keeps the file system's bytes;
// the name is for showing.
struct FolderStackItem {
  Url url;
  std::string path;
  std::string name;
  bool isDirectory = false;
  std::vector<std::string> iconNames;  // most specific first
  bool operator==(const FolderStackItem&) const = default;
};

// What one listing of a folder gives: at most the cap of items in stack order, or the reason
// the folder could not be read.
struct FolderStackListingResult {
  std::vector<FolderStackItem> items;
  std::optional<std::string> readError;
};

}  // namespace quayline
