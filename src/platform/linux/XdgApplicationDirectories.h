#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quayline::XdgApplicationDirectories {

// The folders desktop entries are installed in, most important first: $XDG_DATA_HOME (or
// ~/.local/share), then each of $XDG_DATA_DIRS (or /usr/local/share:/usr/share), each with
// "/applications". Read from the environment on every call.
std::vector<std::string> all();

// The file of an installed desktop entry: the first folder that has it, either as the file name
// or with the id's "-" standing for subfolders (kde4-app.desktop as kde4/app.desktop).
std::optional<std::string> entryPath(std::string_view desktopFileId);

}  // namespace quayline::XdgApplicationDirectories
