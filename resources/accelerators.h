#pragma once
// The accelerator table: keys that send a command from anywhere in the main window, when
// the command is enabled. Every shortcut the ﾌｧｲﾙ menu shows beside an item is here (Ctrl+S
// plays, as the menu says; the framework's save has no key).
#include <span>

#include "resources/command_ids.h"

namespace res {

struct Accelerator {
    const char* pszKey;  // in the portable key-sequence notation, e.g. "Ctrl+O"
    cmd::Id nId;
};

std::span<const Accelerator> Accelerators();

// The key a menu shows beside the command: its first in the table, or null for none.
const char* ShownKey(cmd::Id nId);

}  // namespace res
