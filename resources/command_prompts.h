#pragma once
// The string table's command prompts: "status-bar prompt\ntooltip" per command id.
#include <string>

#include "resources/command_ids.h"

namespace res {

// The whole entry, or nullptr when the command has none (32777 has none).
const char* CommandPromptEntry(cmd::Id nId);
// The part before the line break: shown in the status bar's message pane.
std::string StatusPrompt(cmd::Id nId);
// The part after the line break: the toolbar tooltip.
std::string ToolTip(cmd::Id nId);

}  // namespace res
