#pragma once

#include "platform/Paths.h"

namespace quayline {

// The user's folders as the XDG base-directory and user-dirs conventions define them. Read from
// the environment on every call, so tests can point them at temporary folders.
class XdgPaths final : public Paths {
 public:
  // $HOME, or the home directory of the user's account entry.
  std::string homeDirectory() override;
  // $XDG_DATA_HOME when absolute, or ~/.local/share.
  std::string applicationSupportDirectory() override;
  // XDG_DOWNLOAD_DIR of $XDG_CONFIG_HOME/user-dirs.dirs (~/.config when unset), or ~/Downloads.
  std::optional<std::string> downloadsDirectory() override;
};

}  // namespace quayline
