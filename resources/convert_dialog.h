#pragma once
// Dialog 136, "AVI変換設定".
#include "resources/dialog_template.h"

namespace res {
const DialogTemplate& ConvertSettingsTemplate();
}
