#pragma once
// "AVI変換設定": the conversion settings dialog's template and control ids.
#include "resources/dialog_template.h"

namespace res {
const DialogTemplate& ConvertSettingsTemplate();
}

// The dialog's controls, by the ids its template gives them.
namespace convert_ids {
constexpr int kWidth = 1010;
constexpr int kHeight = 1011;
constexpr int kLength = 1012;
constexpr int kHandler = 1013;
constexpr int kCodecName = 1014;
constexpr int kSourceFile = 1015;
constexpr int kTimer30 = 1016;
constexpr int kTimer10 = 1017;
constexpr int kTimerUser = 1018;
constexpr int kTimerRate = 1019;
constexpr int kDst30 = 1020;
constexpr int kDstUser = 1021;
constexpr int kDstRate = 1022;
constexpr int kRangeWhole = 1023;
constexpr int kRangeChosen = 1024;
constexpr int kRangeStartSlider = 1025;
constexpr int kRangeStartText = 1026;
constexpr int kRangeEndSlider = 1027;
constexpr int kRangeEndText = 1028;
constexpr int kSrc30 = 1029;
constexpr int kSrcUser = 1030;
constexpr int kSrcRate = 1031;
constexpr int kDestFile = 1032;
constexpr int kFormat = 1033;
constexpr int kThin1 = 1034;
constexpr int kThin2 = 1035;
constexpr int kThin3 = 1036;
constexpr int kHide = 1037;
constexpr int kDvCrop = 1038;
constexpr int kSoundMode = 1039;
constexpr int kSoundBitRate = 1040;
constexpr int kSoundNote = 1041;
constexpr int kApplyEffects = 1042;
}  // namespace convert_ids
