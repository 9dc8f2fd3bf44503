#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quayline {

// A menu as the logic describes it; views turn it into the toolkit's menus without deciding
// anything themselves.
struct MenuEntry {
  enum class Kind { button, divider, submenu };
  Kind kind = Kind::button;
  std::string title;
  std::function<void()> action;     // buttons
  std::vector<MenuEntry> children;  // submenus
  bool enabled = true;              // a disabled entry shows, greyed out, and cannot be chosen
  bool checked = false;             // a button that is the current choice of its submenu

  static MenuEntry button(std::string title, std::function<void()> action) {
    return {Kind::button, std::move(title), std::move(action), {}};
  }
  static MenuEntry choice(std::string title, bool chosen, std::function<void()> action) {
    MenuEntry entry = button(std::move(title), std::move(action));
    entry.checked = chosen;
    return entry;
  }
  static MenuEntry divider() { return {Kind::divider, {}, {}, {}}; }
  static MenuEntry submenu(std::string title, std::vector<MenuEntry> children) {
    return {Kind::submenu, std::move(title), {}, std::move(children)};
  }
};

using Menu = std::vector<MenuEntry>;

// Appends the groups in order with one divider between neighbouring groups that are not empty.
Menu joinGroups(std::vector<Menu> groups);

// The titles at the top level, dividers as "-" and submenus as "title ▸ child, child": a
// readable form of a menu for logs and tests.
std::vector<std::string> menuTitles(const Menu& menu);

}  // namespace quayline
