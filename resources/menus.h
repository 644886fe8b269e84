#pragma once
// The main menu as data: the Qt frame builds its menu bar from these tables.
#include <span>

#include "resources/command_ids.h"

namespace res {

enum class MenuEntryKind { Item, Separator, RecentFiles };

struct MenuEntry {
    MenuEntryKind kind;
    cmd::Id nId;          // 0 for separators
    const char* pszText;  // menu text with its & mnemonic
    bool bShowsKey;       // shows its key (res::ShownKey) after a tab
};

struct MenuDef {
    const char* pszTitle;
    std::span<const MenuEntry> entries;
};

std::span<const MenuDef> MainMenu();

}  // namespace res
