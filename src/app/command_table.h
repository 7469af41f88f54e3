#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace tb::app {

// One entry of a menu: a command, a separator (id 0, no text), or a submenu (id 0 with text and
// children). `shortcut` is the accelerator, `checkable` marks check and radio items.
struct MenuEntry {
    int id = 0;
    const char* text = nullptr;
    const char* shortcut = nullptr;
    // Tells apart equal English texts that translate differently.
    const char* disambiguation = nullptr;
    std::vector<MenuEntry> children;
    bool checkable = false;
    // Submenus that the window fills at run time.
    enum Dynamic { kNone, kRecentQueries, kOpenWith } dynamic = kNone;
};

struct TopMenu {
    const char* title;
    std::vector<MenuEntry> entries;
};

// The main menu, in order.
const std::vector<TopMenu>& main_menu();

// The tray and drop-window menu.
const std::vector<MenuEntry>& tray_menu();

// Every entry of the main menu.
void for_each_main_menu_entry(const std::function<void(const MenuEntry&)>& visit);
// Every entry of the main menu, then of the tray menu.
void for_each_menu_entry(const std::function<void(const MenuEntry&)>& visit);

// Toolbar buttons in order; 0 is a separator.
const std::vector<int>& toolbar_commands();

// The status-bar prompt of a command ("" when it has none) and its toolbar tooltip.
QString status_prompt(int command);
QString tooltip(int command);

// The translated text of an entry, accelerator included.
QString entry_text(const MenuEntry& entry);

}  // namespace tb::app
