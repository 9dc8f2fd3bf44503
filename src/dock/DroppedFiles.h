#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "foundation/Url.h"
#include "platform/FileOperations.h"

namespace quayline {

// The file URLs of one drag, in the order the source gave them, with what the dock needs to
// know about each read once, when first asked: a drag reports a new position many times a
// second and the answer must not read the disk each time.
class DroppedFiles {
 public:
  // Keeps the file URLs only; anything else the source offers counts as nothing.
  DroppedFiles(const std::vector<Url>& offered, FileOperations& files);

  bool empty() const { return urls_.empty(); }
  std::size_t size() const { return urls_.size(); }
  const std::vector<Url>& urls() const { return urls_; }

  const FileFacts& facts(std::size_t index) const;
  // Both stop reading at the first file that answers no.
  bool allApplications() const;
  // A file whose directory flag cannot be read counts as not a directory.
  bool allDirectories() const;

 private:
  std::vector<Url> urls_;
  FileOperations& files_;
  mutable std::vector<std::optional<FileFacts>> facts_;
  mutable std::optional<bool> allApplications_;
  mutable std::optional<bool> allDirectories_;
};

}  // namespace quayline
