#pragma once

#include <string>
#include <vector>

namespace quayline {

// One entry of a folder as the file system has it.
struct FolderEntry {
  std::string path;  // the file system's own bytes, which need not be UTF-8
  std::string name;  // for showing: always UTF-8
  bool isDirectory = false;
  bool operator==(const FolderEntry&) const = default;
};

struct FolderContents {
  enum class Failure { none, notFound, notAllowed, unreadable };
  std::vector<FolderEntry> entries;
  Failure failure = Failure::none;
};

// Reads folders for the folder stacks. Both calls may block on the file system: make them off
// the main thread.
class FolderListing {
 public:
  virtual ~FolderListing() = default;

  // The folder's immediate children in no particular order, without the entries the file manager
  // hides. A link counts as what it points at; a link that leads nowhere is a file.
  virtual FolderContents list(const std::string& folderPath) = 0;

  // Icon names for an entry, most specific first, from its name and kind alone: the file's
  // contents are never read.
  virtual std::vector<std::string> iconNames(const FolderEntry& entry) = 0;
};

}  // namespace quayline
