#pragma once

#include <string>
#include <vector>

#include "platform/SystemLog.h"

namespace quayline {

// Keeps every line so tests can assert on what was logged.
class FakeSystemLog final : public SystemLog {
 public:
  struct Line {
    std::string category;
    std::string message;
    bool operator==(const Line&) const = default;
  };

  void log(std::string_view category, std::string_view message) override {
    lines.push_back({std::string(category), std::string(message)});
  }
  void console(std::string_view message) override { consoleLines.emplace_back(message); }

  std::vector<std::string> messagesIn(std::string_view category) const {
    std::vector<std::string> result;
    for (const auto& line : lines) {
      if (line.category == category) {
        result.push_back(line.message);
      }
    }
    return result;
  }

  std::vector<Line> lines;
  std::vector<std::string> consoleLines;
};

}  // namespace quayline
