#include "foundation/PropertyListLimits.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace quayline {
namespace {

constexpr std::string_view kBinaryMagic = "bplist00";
constexpr std::size_t kTrailerSize = 32;

std::uint64_t readBigEndian(const std::uint8_t* bytes, unsigned width) {
  std::uint64_t value = 0;
  for (unsigned i = 0; i < width; ++i) {
    value = (value << 8) | bytes[i];
  }
  return value;
}

// The container objects of a binary property list and the references they hold.
class BinaryLayout {
 public:
  explicit BinaryLayout(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool readTrailer() {
    if (bytes_.size() < kBinaryMagic.size() + kTrailerSize) {
      return false;
    }
    objectsEnd_ = bytes_.size() - kTrailerSize;
    const std::uint8_t* trailer = bytes_.data() + objectsEnd_;
    offsetWidth_ = trailer[6];
    refWidth_ = trailer[7];
    objectCount_ = readBigEndian(trailer + 8, 8);
    top_ = readBigEndian(trailer + 16, 8);
    const std::uint64_t tableStart = readBigEndian(trailer + 24, 8);
    if (offsetWidth_ < 1 || offsetWidth_ > 8 || refWidth_ < 1 || refWidth_ > 8) {
      return false;
    }
    if (objectCount_ == 0 || top_ >= objectCount_ || tableStart < kBinaryMagic.size() ||
        tableStart >= objectsEnd_) {
      return false;
    }
    if (objectCount_ > (objectsEnd_ - tableStart) / offsetWidth_) {
      return false;
    }
    tableStart_ = tableStart;
    return true;
  }

  std::uint64_t objectCount() const { return objectCount_; }
  std::uint64_t top() const { return top_; }

  struct Object {
    bool valid = false;
    std::size_t refsStart = 0;
    std::uint64_t refCount = 0;  // zero for anything but arrays, sets and dictionaries
  };

  Object object(std::uint64_t index) const {
    const std::uint64_t offset =
        readBigEndian(bytes_.data() + tableStart_ + index * offsetWidth_, offsetWidth_);
    if (offset < kBinaryMagic.size() || offset >= objectsEnd_) {
      return {};
    }
    const std::uint8_t marker = bytes_[offset];
    const unsigned kind = marker >> 4;
    const bool isString = kind == 0x5 || kind == 0x6;
    const bool isDictionary = kind == 0xD;
    const bool isContainer = kind == 0xA || kind == 0xB || kind == 0xC || isDictionary;
    if (!isString && !isContainer) {
      return {.valid = true};
    }
    std::uint64_t count = marker & 0xF;
    std::size_t cursor = offset + 1;
    if (count == 0xF) {
      if (cursor >= objectsEnd_ || (bytes_[cursor] >> 4) != 0x1) {
        return {};
      }
      const unsigned width = 1u << (bytes_[cursor] & 0xF);
      if (width > 8 || objectsEnd_ - cursor - 1 < width) {
        return {};
      }
      count = readBigEndian(bytes_.data() + cursor + 1, width);
      cursor += 1 + width;
    }
    if (isString) {
      return {.valid = stringIsClean(cursor, count, kind == 0x6 ? 2 : 1)};
    }
    const std::uint64_t room = (objectsEnd_ - cursor) / refWidth_;
    if (count > room || (isDictionary && count > room / 2)) {
      return {};
    }
    return {.valid = true, .refsStart = cursor, .refCount = isDictionary ? count * 2 : count};
  }

  std::uint64_t reference(const Object& container, std::uint64_t position) const {
    return readBigEndian(bytes_.data() + container.refsStart + position * refWidth_, refWidth_);
  }

 private:
  // libplist 2.2 asserts that a string has no NUL inside, so such strings, like strings that
  // run past the objects, are refused here.
  bool stringIsClean(std::size_t start, std::uint64_t units, unsigned unitWidth) const {
    if (units > (objectsEnd_ - start) / unitWidth) {
      return false;
    }
    for (std::size_t at = start; at < start + units * unitWidth; at += unitWidth) {
      if (bytes_[at] == 0 && (unitWidth == 1 || bytes_[at + 1] == 0)) {
        return false;
      }
    }
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t objectsEnd_ = 0;
  std::uint64_t tableStart_ = 0;
  unsigned offsetWidth_ = 0;
  unsigned refWidth_ = 0;
  std::uint64_t objectCount_ = 0;
  std::uint64_t top_ = 0;
};

// Walks the object graph from the top object without recursion, computing for every object the
// number of nodes it expands to; a reference back into the current path is a cycle.
bool binaryWithinLimits(std::span<const std::uint8_t> bytes) {
  BinaryLayout layout(bytes);
  if (!layout.readTrailer()) {
    return false;
  }
  enum class Visit : std::uint8_t { fresh, active, done };
  std::vector<Visit> visits(layout.objectCount(), Visit::fresh);
  std::vector<std::size_t> expanded(layout.objectCount(), 0);

  struct Frame {
    std::uint64_t index;
    BinaryLayout::Object object;
    std::uint64_t next = 0;
    std::size_t nodes = 1;
  };
  std::vector<Frame> path;

  // Opens an object: leaves complete at once, containers join the path.
  auto open = [&](std::uint64_t index) -> bool {
    const BinaryLayout::Object object = layout.object(index);
    if (!object.valid) {
      return false;
    }
    if (object.refCount == 0) {
      visits[index] = Visit::done;
      expanded[index] = 1;
      return true;
    }
    if (path.size() >= static_cast<std::size_t>(kMaxPropertyListDepth)) {
      return false;
    }
    visits[index] = Visit::active;
    path.push_back({.index = index, .object = object});
    return true;
  };

  if (!open(layout.top())) {
    return false;
  }
  while (!path.empty()) {
    Frame& frame = path.back();
    if (frame.next < frame.object.refCount) {
      const std::uint64_t child = layout.reference(frame.object, frame.next++);
      if (child >= layout.objectCount() || visits[child] == Visit::active) {
        return false;
      }
      if (visits[child] == Visit::fresh && !open(child)) {
        return false;
      }
      if (visits[child] == Visit::done) {
        path.back().nodes =
            std::min(path.back().nodes + expanded[child], kMaxPropertyListNodes + 1);
      }
      continue;
    }
    if (frame.nodes > kMaxPropertyListNodes) {
      return false;
    }
    const std::uint64_t finished = frame.index;
    const std::size_t nodes = frame.nodes;
    visits[finished] = Visit::done;
    expanded[finished] = nodes;
    path.pop_back();
    if (!path.empty()) {
      path.back().nodes = std::min(path.back().nodes + nodes, kMaxPropertyListNodes + 1);
    }
  }
  return true;
}

bool isNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == ':' || c == '.';
}

// Counts how deeply <array> and <dict> elements nest, skipping comments, CDATA sections,
// processing instructions and declarations the way an XML reader does.
bool xmlWithinLimits(std::string_view text) {
  // XML has no NUL characters, and libplist 2.2 asserts on strings that hold one.
  if (text.find('\0') != std::string_view::npos) {
    return false;
  }
  int depth = 0;
  std::size_t at = 0;
  auto skipPast = [&](std::string_view terminator) {
    const std::size_t end = text.find(terminator, at);
    at = end == std::string_view::npos ? text.size() : end + terminator.size();
    return end != std::string_view::npos;
  };
  while ((at = text.find('<', at)) != std::string_view::npos) {
    const std::string_view rest = text.substr(at);
    if (rest.starts_with("<!--")) {
      at += 4;
      if (!skipPast("-->")) {
        return false;
      }
    } else if (rest.starts_with("<![CDATA[")) {
      at += 9;
      if (!skipPast("]]>")) {
        return false;
      }
    } else if (rest.starts_with("<?")) {
      at += 2;
      if (!skipPast("?>")) {
        return false;
      }
    } else if (rest.starts_with("<!")) {
      at += 2;
      if (!skipPast(">")) {
        return false;
      }
    } else {
      const bool closing = rest.starts_with("</");
      std::size_t nameEnd = closing ? 2 : 1;
      while (nameEnd < rest.size() && isNameCharacter(rest[nameEnd])) {
        ++nameEnd;
      }
      const std::string_view name = rest.substr(closing ? 2 : 1, nameEnd - (closing ? 2 : 1));
      at += nameEnd;
      if (!skipPast(">")) {
        return false;
      }
      if (name != "array" && name != "dict") {
        continue;
      }
      const bool selfClosing = text[at - 2] == '/';
      if (closing) {
        depth = std::max(depth - 1, 0);
      } else if (!selfClosing && ++depth > kMaxPropertyListDepth) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

bool isWithinPropertyListLimits(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.starts_with("bplist")) {
    return text.starts_with(kBinaryMagic) && binaryWithinLimits(bytes);
  }
  return xmlWithinLimits(text);
}

}  // namespace quayline
