#pragma once

#include <cstdint>
#include <string>

#include "chrome/SessionFile.h"

namespace quayline {

// Writes session files the way the browser lays them out.
class SessionWriter {
 public:
  explicit SessionWriter(std::int32_t version = 3) {
    bytes_ = "SNSS";
    int32(bytes_, version);
  }

  SessionWriter& record(std::uint8_t command, const std::string& payload) {
    const auto size = static_cast<std::uint16_t>(payload.size() + 1);
    bytes_ += static_cast<char>(size & 0xff);
    bytes_ += static_cast<char>(size >> 8);
    bytes_ += static_cast<char>(command);
    bytes_ += payload;
    return *this;
  }
  SessionWriter& pair(std::uint8_t command, std::int32_t a, std::int32_t b) {
    std::string payload;
    int32(payload, a);
    int32(payload, b);
    return record(command, payload);
  }
  SessionWriter& active(std::int32_t window) {
    std::string payload;
    int32(payload, window);
    return record(session_file::setActiveWindow, payload);
  }
  SessionWriter& selected(std::int32_t window, std::int32_t index) {
    return pair(session_file::setSelectedTabInIndex, window, index);
  }
  // A tab in a window at an index, showing one page.
  SessionWriter& tab(std::int32_t window, std::int32_t tab, std::int32_t index,
                     const std::u16string& title) {
    pair(session_file::setTabWindow, window, tab);
    pair(session_file::setTabIndexInWindow, tab, index);
    std::string pickle;
    int32(pickle, tab);
    int32(pickle, 0);
    const std::string url = "https://example.org/";
    int32(pickle, static_cast<std::int32_t>(url.size()));
    pickle += url;
    pad(pickle);
    int32(pickle, static_cast<std::int32_t>(title.size()));
    for (const char16_t unit : title) {
      pickle += static_cast<char>(unit & 0xff);
      pickle += static_cast<char>(unit >> 8);
    }
    pad(pickle);
    std::string payload;
    int32(payload, static_cast<std::int32_t>(pickle.size()));
    record(session_file::updateTabNavigation, payload + pickle);
    return pair(session_file::setSelectedNavigationIndex, tab, 0);
  }

  const std::string& bytes() const { return bytes_; }

 private:
  static void int32(std::string& out, std::int32_t value) {
    for (int byte = 0; byte < 4; ++byte) {
      out += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * byte)) & 0xff);
    }
  }
  static void pad(std::string& out) {
    while (out.size() % 4 != 0) {
      out += '\0';
    }
  }
  std::string bytes_;
};

}  // namespace quayline
