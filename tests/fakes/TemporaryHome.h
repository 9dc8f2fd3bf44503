#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quayline {

// A temporary root with the user's folders pointed inside it, so no test touches the real home.
class TemporaryHome : public testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() /
           ("quayline-test-" + std::to_string(::getpid()) + "-" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root);
    for (auto [name, folder] : {std::pair{"HOME", "home"},
                                {"XDG_CONFIG_HOME", "config"},
                                {"XDG_DATA_HOME", "data"},
                                {"QUAYLINE_PREFERENCES_DIR", "prefs"}}) {
      std::filesystem::create_directories(root / folder);
      ::setenv(name, (root / folder).c_str(), 1);
    }
  }
  void TearDown() override { std::filesystem::remove_all(root); }

  std::filesystem::path root;
};

}  // namespace quayline
