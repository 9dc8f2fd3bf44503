#include "dock/TileMenu.h"

#include "foundation/Text.h"
#include "platform/Workspace.h"

namespace quayline {

namespace {
// A space at most this many characters before the end of the kept part is where the cut goes.
constexpr std::size_t kLateSpaceDistance = 11;
}  // namespace

std::string TileMenu::title(const AppWindow& window) {
  std::string title = window.title.empty() ? std::string("Untitled") : window.title;
  if (text::characterCount(title) > maximumTitleCharacters) {
    std::vector<std::string> kept = text::characters(title);
    kept.resize(maximumTitleCharacters);
    for (std::size_t i = kept.size(); i-- > 0;) {
      if (kept[i] == " ") {
        if (kept.size() - i <= kLateSpaceDistance + 1) {
          kept.resize(i);
        }
        break;
      }
    }
    title.clear();
    for (const std::string& character : kept) {
      title += character;
    }
    title += "\u2026";
  }
  if (window.isMinimized) {
    title = "\u25C7 " + title;
  }
  return title;
}

MenuEntry TileOptionsMenu::entry(Workspace& workspace) const {
  Menu children;
  for (const Item& item : items) {
    children.push_back(MenuEntry::button(item.title, item.action));
  }
  if (finderURL) {
    children.push_back(MenuEntry::button("Show in Finder", [&workspace, url = *finderURL] {
      workspace.revealInFileManager({url});
    }));
  }
  return MenuEntry::submenu("Options", std::move(children));
}

}  // namespace quayline
