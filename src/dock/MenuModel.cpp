#include "dock/MenuModel.h"

namespace quayline {

Menu joinGroups(std::vector<Menu> groups) {
  Menu menu;
  for (Menu& group : groups) {
    if (group.empty()) {
      continue;
    }
    if (!menu.empty()) {
      menu.push_back(MenuEntry::divider());
    }
    for (MenuEntry& entry : group) {
      menu.push_back(std::move(entry));
    }
  }
  return menu;
}

std::vector<std::string> menuTitles(const Menu& menu) {
  std::vector<std::string> titles;
  titles.reserve(menu.size());
  for (const MenuEntry& entry : menu) {
    switch (entry.kind) {
      case MenuEntry::Kind::divider:
        titles.emplace_back("-");
        break;
      case MenuEntry::Kind::button:
        titles.push_back(entry.checked ? "\u2713 " + entry.title : entry.title);
        break;
      case MenuEntry::Kind::submenu: {
        std::string line = entry.title + " \u25B8";
        const char* separator = " ";
        for (const std::string& child : menuTitles(entry.children)) {
          line += separator + child;
          separator = ", ";
        }
        titles.push_back(std::move(line));
        break;
      }
    }
  }
  return titles;
}

}  // namespace quayline
