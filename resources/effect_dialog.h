#pragma once
// "カラー変調設定": the modeless effect settings dialog's template, and its texts.
#include "resources/dialog_template.h"

namespace res {

namespace effect_ids {
constexpr int kClose = kIdCancel;  // "閉じる"
constexpr int kGroupColor = 1042;
constexpr int kSliderC1 = 1043;
constexpr int kLabelC1 = 1044;
constexpr int kValueC1 = 1045;
constexpr int kLabelC2 = 1046;
constexpr int kSliderC2 = 1047;
constexpr int kValueC2 = 1048;
constexpr int kLabelC3 = 1049;
constexpr int kSliderC3 = 1050;
constexpr int kValueC3 = 1051;
constexpr int kSliderMosaic = 1054;
constexpr int kValueMosaic = 1055;
constexpr int kSliderPaint = 1056;
constexpr int kValuePaint = 1057;
constexpr int kSliderStrobe = 1058;
constexpr int kValueStrobe = 1059;
}  // namespace effect_ids

const DialogTemplate& EffectDialogTemplate();

// Captions by kind 0 (RGB), 1 (YUV), 2 (HSV): the group box, then the three labels.
struct EffectCaptions {
    const char* pszGroup;
    const char* pszLabels[3];
};
const EffectCaptions& EffectCaptionsFor(int nKind);

}  // namespace res
