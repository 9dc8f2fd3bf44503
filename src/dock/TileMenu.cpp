#include "dock/TileMenu.h"

#include "platform/Workspace.h"
#include "windows/WindowTitle.h"

namespace quayline {

std::string TileMenu::title(const AppWindow& window) {
  std::string title = shortenedTitle(window.title.empty() ? "Untitled" : window.title);
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
