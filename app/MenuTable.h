#pragma once
// The menu bar as data: every menu's items in index order with their captions, the hidden
// ones and the check items. Commands are attached by index, so separators and "SPARE" items
// keep their places and do nothing.

#include <string_view>
#include <vector>

namespace zv::app {

struct MenuItemDef {
    std::string_view Caption;      // "-" is a separator
    std::string_view Submenu = {}; // object name of the submenu it opens, if any
    bool Hidden = false;
    bool Checkable = false;
};

struct MenuDef {
    std::string_view Name;    // object name, e.g. "mnuFile"
    std::string_view Caption; // "" for a submenu that takes its caption from its item
    std::vector<MenuItemDef> Items;
    bool TopLevel = true;
};

// Every menu of the main window, top-level menus in menu-bar order.
const std::vector<MenuDef>& MainMenus();

// The object name of item index of menu: "mnuFile(4)".
std::string ItemName(std::string_view menu, int index);

} // namespace zv::app
