#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Geometry.h"
#include "stacks/FolderStackItem.h"
#include "stacks/FolderStackStyle.h"

namespace quayline {

// What a stack shows: exactly one of the read error, "Empty" or the items, in the style.
struct FolderStackContent {
  std::string folderName;
  std::vector<FolderStackItem> items;
  std::optional<std::string> readError;
  FolderStackStyle style = FolderStackStyle::grid;
  double scale = 2;  // pixels per point of the icons
  bool operator==(const FolderStackContent&) const = default;
};

// The floating panel a stack is shown in; the views implement it.
class FolderStackPanel {
 public:
  struct Events {
    std::function<void(const FolderStackItem&)> open;
    std::function<void()> openFolder;
  };

  virtual ~FolderStackPanel() = default;
  virtual void setEvents(Events events) = 0;
  // Replaces what the panel shows and returns the size it needs, without showing it.
  virtual Size setContent(const FolderStackContent& content) = 0;
  // Shows the panel with its lower-left corner at `origin` (screen space: y up) in front of
  // every window, without taking the focus.
  virtual void orderFront(Point origin) = 0;
  virtual void orderOut() = 0;
  virtual bool isVisible() const = 0;
  // Whether the pointer is over one of the program's own windows (the dock, the panel).
  virtual bool pointerIsOverOwnWindow() const = 0;
};

}  // namespace quayline
