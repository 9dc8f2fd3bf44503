#pragma once

#include <string>
#include <string_view>

#include "platform/FileOperations.h"

namespace quayline {

// The user's files on a freedesktop system: applications are installed desktop entries,
// trashing follows the freedesktop Trash through GIO, and moves never replace what is there.
class GioFileOperations final : public FileOperations {
 public:
  FileFacts facts(const std::string& path) override;
  FileOperationResult moveToTrash(const std::string& path) override;
  FileOperationResult moveWithoutReplacing(const std::string& path,
                                           const std::string& destination) override;
};

// The decisions behind a move, apart from the calls that make it.
namespace FileMoves {

// What to do after the no-replace rename answered with `error` (0 for success).
enum class Next {
  done,
  // Another file system, or one without the no-replace rename: GIO moves it, never replacing.
  moveWithGio,
  // A folder on another file system: copying it could stop half-way, so it is not moved.
  refuseFolderAcrossFileSystems,
  fail,
};
Next afterRename(int error, bool isFolder);

// Whether the path is a Trash folder or lies inside one: the user's own under the data folder,
// or a file system's ".Trash-<uid>" or ".Trash/<uid>" at any depth.
bool isInTrash(std::string_view path, std::string_view homeTrash, unsigned uid);

// Whether `destination` is `path` itself or lies inside it.
bool isInside(std::string_view destination, std::string_view path);

}  // namespace FileMoves
}  // namespace quayline
