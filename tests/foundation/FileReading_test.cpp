#include "foundation/FileReading.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace quayline {
namespace {

TEST(FileReading, ReadsFilesAndAnswersNothingForWhatCannotBeRead) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("quayline-read-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "file", std::ios::binary) << std::string("a\0b", 3);
  EXPECT_EQ(readFile(folder / "file"), std::string("a\0b", 3));
  EXPECT_EQ(readFile(folder / "file", 2), std::nullopt);  // beyond the limit
  EXPECT_EQ(readFile(folder / "missing"), std::nullopt);
  // A folder opens like a file but fails on reading: nothing, and no exception.
  EXPECT_EQ(readFile(folder), std::nullopt);
  // A /proc entry is read whole although its size reads as zero.
  const auto stat = readFile("/proc/self/stat");
  ASSERT_TRUE(stat);
  EXPECT_EQ(stat->substr(0, std::to_string(::getpid()).size()), std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quayline
