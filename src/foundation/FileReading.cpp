#include "foundation/FileReading.h"

#include <cstdio>
#include <memory>

namespace quayline {

std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t limit) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) {
    return std::nullopt;
  }
  std::string contents;
  char buffer[16384];
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
    contents.append(buffer, got);
    if (contents.size() > limit) {
      return std::nullopt;
    }
    if (got < sizeof buffer) {
      break;
    }
  }
  if (std::ferror(file.get()) != 0) {
    return std::nullopt;
  }
  return contents;
}

}  // namespace quayline
