#include "stacks/FolderStackController.h"

#include <utility>

#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "platform/FolderListing.h"
#include "platform/KeyInterception.h"
#include "platform/PointerMotion.h"
#include "platform/Workspace.h"
#include "stacks/FolderStackListing.h"
#include "stacks/FolderStackPanel.h"
#include "stacks/FolderStackPlacement.h"

namespace quayline {

FolderStackController::FolderStackController(Services services)
    : s_(services), self_(std::make_shared<FolderStackController*>(this)) {
  s_.panel.setEvents({[this](const FolderStackItem& item) {
                        s_.workspace.openURL(item.url);
                        hide();
                      },
                      [this] {
                        if (openFolder_) {
                          s_.workspace.openURL(openFolder_->url);
                        }
                        hide();
                      }});
  screens_ = s_.displays.observeScreenChanges([this] { hide(); });
  workspace_ = s_.workspace.observe([this](const WorkspaceNotification& notification) {
    if (notification.kind == WorkspaceNotification::Kind::activeSpaceDidChange) {
      hide();
    }
  });
}

FolderStackController::~FolderStackController() {
  // Listings still on the queue find no controller and are dropped.
  *self_ = nullptr;
}

void FolderStackController::toggle(const FolderTile& folder, const Rect& anchor,
                                   std::optional<DisplayNumber> screen) {
  if (s_.panel.isVisible() && openFolderPath_ == folder.url.path()) {
    hide();
  } else {
    show(folder, anchor, screen);
  }
}

void FolderStackController::show(const FolderTile& folder, const Rect& anchor,
                                 std::optional<DisplayNumber> screen) {
  openFolderPath_ = folder.url.path();
  openAnchor_ = anchor;
  openScreen_ = screen;
  openFolder_ = folder;
  load();
}

void FolderStackController::hide() {
  // A listing still running for a stack that was closed while loading must not open it again.
  ++generation_;
  openFolderPath_.reset();
  openFolder_.reset();
  if (s_.panel.isVisible()) {
    s_.panel.orderOut();
    pointerPresses_.reset();
    escape_.reset();
  }
}

FolderStackStyle FolderStackController::style(const std::string& folderPath) const {
  return s_.styles.style(folderPath);
}

void FolderStackController::setStyle(FolderStackStyle style, const std::string& folderPath) {
  s_.styles.setStyle(style, folderPath);
  if (openFolderPath_ == folderPath && openFolder_) {
    load();
  }
}

void FolderStackController::load() {
  const std::uint64_t generation = ++generation_;
  const std::weak_ptr<FolderStackController*> weak = self_;
  s_.queue.async(
      [weak, generation, folder = *openFolder_, &listing = s_.listing, &scheduler = s_.scheduler] {
        auto result = std::make_shared<FolderStackListingResult>(
            FolderStackListing::read(listing, folder.url.path()));
        scheduler.post([weak, generation, folder, result] {
          const auto self = weak.lock();
          if (!self || *self == nullptr) {
            return;
          }
          FolderStackController& controller = **self;
          // Only the newest listing is shown, and none once the stack was closed.
          if (generation == controller.generation_ && controller.openFolderPath_) {
            controller.present(folder, *result);
          }
        });
      });
}

void FolderStackController::present(const FolderTile& folder,
                                    const FolderStackListingResult& listing) {
  const std::string path = folder.url.path();
  const Size size = s_.panel.setContent(
      {folder.displayName, listing.items, listing.readError, style(path), iconScale()});
  // Escape is taken before the stack can be seen, so a key pressed as soon as it shows closes it.
  installMonitors();
  s_.panel.orderFront(FolderStackPlacement::origin(openAnchor_, size, visibleFrame()));
}

Rect FolderStackController::visibleFrame() const {
  if (openScreen_) {
    for (const Screen& screen : s_.displays.screens()) {
      if (screen.displayNumber == *openScreen_) {
        return screen.visibleFrame;
      }
    }
  }
  const auto main = s_.displays.mainScreen();
  return main ? main->visibleFrame : Rect();
}

double FolderStackController::iconScale() const {
  const auto main = s_.displays.mainScreen();
  return main ? main->backingScaleFactor : 2;
}

void FolderStackController::installMonitors() {
  if (pointerPresses_.active() || escape_.active()) {
    return;
  }
  // Clicks in the dock or the stack are theirs to handle; any other click closes the stack.
  pointerPresses_ = s_.pointer.observePresses([this](PointerMotion::Press press) {
    if (press == PointerMotion::Press::mouseButton && !s_.panel.pointerIsOverOwnWindow()) {
      hide();
    }
  });
  escape_ = s_.keys.interceptEscape([this] { hide(); });
}

}  // namespace quayline
