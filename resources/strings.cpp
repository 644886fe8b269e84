#include "resources/strings.h"

namespace str {
const char* const kAppTitle = "Quovel";
const char* const kRegistryKey = "Local AppWizard-Generated Applications";
const char* const kUntitled = "無題";
const char* const kTitleSeparator = " - ";
const char* const kOpenFilter =
    "AVI Files (*.avi)|*.avi|MPEG Files (*.mpeg;*.mpg)|*.mpeg;*.mpg|All Files (*.*)|*.*||";
const char* const kOpenDefaultExt = "avi";
const char* const kCannotOpenFile = "指定ファイルが開けません";
const char* const kStatusReady = "ﾚﾃﾞｨ";
const char* const kMenuRecentEmpty = "最近使ったﾌｧｲﾙ";
}  // namespace str
