#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quayline {

// How a desktop entry (.desktop file) becomes an application's bundle identifier.
namespace DesktopEntryIdentity {

// The desktop-file id of an entry at `path`: its path below one of the `applicationDirectories`
// with "/" turned into "-" (so kde4/app.desktop is kde4-app.desktop), or its file name when it
// lies elsewhere.
std::string desktopFileId(std::string_view path,
                          const std::vector<std::string>& applicationDirectories);

// The bundle identifier for a desktop-file id: the id without ".desktop", except that the file
// managers (the known ones, and whichever application GIO names as the default handler of
// folders) and the Chromium-family browsers carry the identifiers the dock's logic knows them by.
std::string bundleIdentifier(std::string_view desktopFileId);

}  // namespace DesktopEntryIdentity
}  // namespace quayline
