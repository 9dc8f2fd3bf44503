#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"
#include "model/Tile.h"
#include "platform/Displays.h"
#include "stacks/FolderStackItem.h"
#include "stacks/FolderStackStyle.h"

namespace quayline {

class FolderListing;
class FolderStackPanel;
class KeyInterception;
class PointerMotion;
class Scheduler;
class SerialQueue;
class Workspace;

// The one folder stack of the program: which folder it shows, listing it off the main thread,
// placing the panel above the folder's tile, and closing it on an outside click, Escape, a
// screen or desktop change, or once something in it was opened. Main thread.
class FolderStackController {
 public:
  static constexpr std::string_view queueLabel = "quayline.folderStack";

  struct Services {
    Scheduler& scheduler;
    SerialQueue& queue;  // labelled `queueLabel`; lists folders
    FolderListing& listing;
    FolderStackStyles& styles;
    Workspace& workspace;
    Displays& displays;
    PointerMotion& pointer;
    KeyInterception& keys;
    FolderStackPanel& panel;
  };

  explicit FolderStackController(Services services);
  ~FolderStackController();
  FolderStackController(const FolderStackController&) = delete;
  FolderStackController& operator=(const FolderStackController&) = delete;

  // `anchor`: the tile's frame in screen space (origin bottom left, y up); `screen`: the display
  // it is on.
  void toggle(const FolderTile& folder, const Rect& anchor, std::optional<DisplayNumber> screen);
  void show(const FolderTile& folder, const Rect& anchor, std::optional<DisplayNumber> screen);
  void hide();

  FolderStackStyle style(const std::string& folderPath) const;
  // Stores the style; the open stack of that folder switches to it at once.
  void setStyle(FolderStackStyle style, const std::string& folderPath);

  const std::optional<std::string>& openFolderPath() const { return openFolderPath_; }

 private:
  void load();
  void present(const FolderTile& folder, const FolderStackListingResult& listing);
  Rect visibleFrame() const;
  double iconScale() const;
  void installMonitors();

  Services s_;
  std::optional<std::string> openFolderPath_;
  std::optional<FolderTile> openFolder_;
  Rect openAnchor_;
  std::optional<DisplayNumber> openScreen_;
  // Counts loads and hides: a listing is presented only while it is the newest one asked for.
  std::uint64_t generation_ = 0;
  std::shared_ptr<FolderStackController*> self_;
  Subscription pointerPresses_;
  Subscription escape_;
  Subscription screens_;
  Subscription workspace_;
};

}  // namespace quayline
