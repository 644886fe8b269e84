#pragma once
// Toolbar 133 and the status-bar indicator table.
#include <span>

#include "resources/command_ids.h"

namespace res {

constexpr int kToolButtonWidth = 16;
constexpr int kToolButtonHeight = 15;

// Button command ids in order; 0 is a separator.
std::span<const cmd::Id> ToolBarButtons();
// The icon resource of a toolbar button (":/toolbar/<name>.xpm").
const char* ToolBarIcon(cmd::Id nId);

struct Indicator {
    cmd::Id nId;          // 0: the message pane
    const char* pszText;  // what the pane shows while its key is locked
};
std::span<const Indicator> StatusIndicators();

}  // namespace res
