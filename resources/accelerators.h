#pragma once
// The accelerator table: keys that send a command from anywhere in the main window.
// The shortcuts shown beside some menu items (Ctrl+R, Ctrl+B, Ctrl+S as play, Ctrl+E,
// Ctrl+P) are texts only; Ctrl+S belongs to the framework's save here.
#include <span>

#include "resources/command_ids.h"

namespace res {

struct Accelerator {
    const char* pszKey;  // in the portable key-sequence notation, e.g. "Ctrl+O"
    cmd::Id nId;
};

std::span<const Accelerator> Accelerators();

}  // namespace res
