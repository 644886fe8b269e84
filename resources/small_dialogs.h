#pragma once
// The About box and "AVI再生設定": their templates and control ids.
#include "resources/dialog_template.h"

namespace res {

constexpr int kIdRepeat = 1039;
constexpr int kIdVgaMode = 1040;
constexpr int kIdAboutTitle = 1000;  // "AVIコーデック変換ツール Ver " and the build's version
constexpr int kIdAboutVersion = 1001;  // the second line of the About box: the libraries

const DialogTemplate& AboutTemplate();
const DialogTemplate& PlaySettingsTemplate();

}  // namespace res
