#pragma once

#include "platform/FolderListing.h"

namespace quayline {

// Folders read with readdir: hidden are names starting with "." and the names a folder's
// ".hidden" file lists (GLib's rule); names are shown as GLib displays file names, so bytes that
// are not UTF-8 show as replacement characters while paths keep them. Icon names come from the
// shared MIME database's patterns for the name, never from the file's contents.
class FileSystemFolderListing final : public FolderListing {
 public:
  // Longer ".hidden" files are read only this far.
  static constexpr std::size_t hiddenFileLimit = 1 << 20;

  FolderContents list(const std::string& folderPath) override;
  std::vector<std::string> iconNames(const FolderEntry& entry) override;
};

}  // namespace quayline
