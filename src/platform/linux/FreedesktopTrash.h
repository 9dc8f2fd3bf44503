#pragma once

#include <string>
#include <vector>

#include "platform/Trash.h"

namespace quayline {

class Workspace;

// The freedesktop.org Trash: the home trash under the data home and the `.Trash-$uid` folder at
// the top of each mounted local file system. Items are the entries of each trash's `files/`;
// `info/` holds their `.trashinfo` and `directorysizes` caches their sizes. Never follows a
// symbolic link out of a trash when deleting.
class FreedesktopTrash final : public Trash {
 public:
  // `homeTrash`: "$XDG_DATA_HOME/Trash"; `mountTable`: where the mounted file systems are listed
  // ("/proc/self/mounts"; empty for none).
  FreedesktopTrash(std::string homeTrash, unsigned uid, Workspace& workspace,
                   std::string mountTable = "/proc/self/mounts");
  ~FreedesktopTrash() override;
  FreedesktopTrash(const FreedesktopTrash&) = delete;
  FreedesktopTrash& operator=(const FreedesktopTrash&) = delete;

  bool listItems(const std::function<bool(std::string_view name)>& visit) override;
  // No file manager on this desktop counts the Trash for others.
  std::optional<std::int64_t> fileManagerItemCount() override { return std::nullopt; }
  void empty() override;
  void open() override;

  // Every trash folder that exists now, the home trash first. Called on one thread at a time
  // (the trash queue).
  std::vector<std::string> trashFolders() const;

  // Empties one trash folder: each item of `files/`, then its `.trashinfo`, then the line of
  // `directorysizes` that names it. An item that cannot be deleted keeps its `.trashinfo`.
  static void emptyFolder(const std::string& trash);

 private:
  std::vector<std::string> localMountPoints() const;

  std::string homeTrash_;
  unsigned uid_;
  Workspace& workspace_;
  std::string mountTable_;
  mutable int mountsFd_ = -1;
  mutable bool mountPointsRead_ = false;
  mutable std::vector<std::string> mountPoints_;
};

}  // namespace quayline
