#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "foundation/Geometry.h"
#include "platform/Accessibility.h"

namespace quayline {

// One window of another application. Frames are in the global display space (top-left origin).
struct AppWindow {
  std::string id;  // pid ":" index ":" title hash
  ProcessId pid = 0;
  std::string bundleIdentifier;
  std::string title;
  bool isMinimized = false;
  bool isMain = false;
  bool isDialog = false;
  std::optional<Rect> frame;
  AXElement element;

  // The owning process, its identifier and the element do not take part.
  bool operator==(const AppWindow& other) const {
    return id == other.id && title == other.title && isMinimized == other.isMinimized &&
           isMain == other.isMain && isDialog == other.isDialog && frame == other.frame;
  }
};

inline std::ostream& operator<<(std::ostream& out, const AppWindow& window) {
  out << "AppWindow{" << window.id << ", " << window.bundleIdentifier << ", \"" << window.title
      << "\"";
  if (window.isMinimized)
    out << ", minimized";
  if (window.isMain)
    out << ", main";
  if (window.isDialog)
    out << ", dialog";
  if (window.frame)
    out << ", " << *window.frame;
  return out << "}";
}

}  // namespace quayline
