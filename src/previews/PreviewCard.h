#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Url.h"
#include "platform/WindowCapture.h"
#include "previews/PreviewLayout.h"
#include "windows/AppWindow.h"

namespace quayline {

// One window in a preview.
struct PreviewCard {
  AppWindow window;
  std::optional<WindowNumber> windowID;  // none when the number cannot be read
  std::string primary;
  std::string secondary;
  std::string accessibilityIdentifier;  // "preview:" pid ":" title hash

  // "w:" and the window number when there is one, else the window's own id.
  std::string id() const;
  bool operator==(const PreviewCard&) const = default;
};

// Everything the preview panel draws, and where.
struct PreviewPresentation {
  std::vector<PreviewCard> cards;
  std::string bundleIdentifier;  // for the placeholder's application icon
  std::optional<Url> url;
  PreviewLayout layout;
  double scale = 1;
  Rect frame;  // screen coordinates, bottom-left origin
  bool operator==(const PreviewPresentation&) const = default;
};

// Above the tile, centred on it, kept 8 points inside the screen's sides and below the top of
// its visible frame; whole points. All in the bottom-left space.
Rect previewFrame(const Rect& tileFrame, Size panelSize, const Rect& screenFrame,
                  const Rect& visibleFrame);

}  // namespace quayline
