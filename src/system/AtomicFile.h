#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quayline {

// Writes the bytes beside the target, flushes them to disk and renames the result over the
// target, so a reader sees the old file or the whole new one, never a part. The parent folder
// must exist. On failure the target is unchanged and `error` (when given) says why.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);

}  // namespace quayline
