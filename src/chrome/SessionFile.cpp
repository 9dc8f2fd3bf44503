#include "chrome/SessionFile.h"

#include <cstring>
#include <set>

#include "foundation/Utf8.h"

namespace quayline::session_file {
namespace {

// Reads little-endian values from one payload; every read past the end fails.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  std::optional<std::int32_t> int32() {
    if (bytes_.size() - offset_ < 4) {
      return std::nullopt;
    }
    std::uint32_t value = 0;
    for (int byte = 3; byte >= 0; --byte) {
      value = (value << 8) |
              static_cast<std::uint8_t>(bytes_[offset_ + static_cast<std::size_t>(byte)]);
    }
    offset_ += 4;
    return static_cast<std::int32_t>(value);
  }

  // `count` units of `unit` bytes, then padding to a multiple of four.
  std::optional<std::string_view> padded(std::int32_t count, std::size_t unit) {
    if (count < 0 || static_cast<std::size_t>(count) > (bytes_.size() - offset_) / unit) {
      return std::nullopt;
    }
    const std::size_t length = static_cast<std::size_t>(count) * unit;
    const auto data = bytes_.substr(offset_, length);
    offset_ = std::min(bytes_.size(), offset_ + ((length + 3) & ~std::size_t{3}));
    return data;
  }

 private:
  std::string_view bytes_;
  std::size_t offset_ = 0;
};

std::string utf16ToUtf8(std::string_view units) {
  std::string out;
  for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
    char32_t c =
        static_cast<std::uint8_t>(units[i]) | (static_cast<std::uint8_t>(units[i + 1]) << 8);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < units.size()) {
      const char32_t low =
          static_cast<std::uint8_t>(units[i + 2]) | (static_cast<std::uint8_t>(units[i + 3]) << 8);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

struct Tab {
  std::int32_t window = -1;
  std::int32_t index = -1;
  std::int32_t selectedNavigation = -1;
  std::map<std::int32_t, std::string> titles;  // navigation index → title
};

}  // namespace

std::optional<SessionState> parse(std::string_view bytes) {
  Reader header(bytes);
  if (bytes.size() < 8 || bytes.substr(0, 4) != "SNSS") {
    return std::nullopt;
  }
  header.padded(4, 1);
  const auto version = header.int32();
  if (version != 1 && version != 3) {
    return std::nullopt;
  }

  SessionState state;
  std::map<std::int32_t, Tab> tabs;
  std::map<std::int32_t, std::int32_t> selectedIndex;  // window → selected tab's index
  std::set<std::int32_t> windows;
  // A record cut short by a write in progress ends the file: what came before stands.
  for (std::size_t offset = 8; bytes.size() - offset >= 3;) {
    const std::size_t size =
        static_cast<std::uint8_t>(bytes[offset]) |
        (static_cast<std::size_t>(static_cast<std::uint8_t>(bytes[offset + 1])) << 8);
    if (size == 0 || size > bytes.size() - offset - 2) {
      break;
    }
    const auto command = static_cast<std::uint8_t>(bytes[offset + 2]);
    Reader payload(bytes.substr(offset + 3, size - 1));
    offset += 2 + size;

    const auto first = payload.int32();
    if (!first) {
      continue;
    }
    switch (command) {
      case setActiveWindow:
        state.activations.push_back(*first);
        windows.insert(*first);
        break;
      case windowClosed:
        windows.erase(*first);
        selectedIndex.erase(*first);
        break;
      case tabClosed:
        tabs.erase(*first);
        break;
      case setTabWindow:
        if (const auto tab = payload.int32()) {
          tabs[*tab].window = *first;
          windows.insert(*first);
        }
        break;
      case setTabIndexInWindow:
        if (const auto index = payload.int32()) {
          tabs[*first].index = *index;
        }
        break;
      case setSelectedNavigationIndex:
        if (const auto index = payload.int32()) {
          tabs[*first].selectedNavigation = *index;
        }
        break;
      case setSelectedTabInIndex:
        if (const auto index = payload.int32()) {
          selectedIndex[*first] = *index;
          windows.insert(*first);
        }
        break;
      case updateTabNavigation: {
        // A pickle: its payload size first, then the tab, the index, the URL and the title.
        const auto tab = payload.int32();
        const auto index = payload.int32();
        const auto urlLength = payload.int32();
        if (!tab || !index || !urlLength || !payload.padded(*urlLength, 1)) {
          break;
        }
        const auto titleLength = payload.int32();
        if (!titleLength) {
          break;
        }
        if (const auto title = payload.padded(*titleLength, 2)) {
          tabs[*tab].titles[*index] = utf16ToUtf8(*title);
        }
        break;
      }
      default:
        break;
    }
  }

  for (const auto& [id, tab] : tabs) {
    const auto selected = selectedIndex.find(tab.window);
    if (!windows.contains(tab.window) || selected == selectedIndex.end() ||
        selected->second != tab.index) {
      continue;
    }
    // Without a selected navigation the newest entry is what the tab shows.
    auto title = tab.titles.find(tab.selectedNavigation);
    if (title == tab.titles.end() && !tab.titles.empty()) {
      title = std::prev(tab.titles.end());
    }
    if (title != tab.titles.end()) {
      state.selectedTitles[tab.window] = validUtf8(title->second);
    }
  }
  return state;
}

}  // namespace quayline::session_file
