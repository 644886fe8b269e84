#include "resources/effect_dialog.h"

namespace res {
namespace {

using K = ControlKind;
using namespace effect_ids;
constexpr unsigned kLabel = kStyleVCenter;
constexpr unsigned kValue = kStyleCentered | kStyleSunken;

// The template's labels are half-width; the dialog shows the full-width captions instead.
constexpr ControlTemplate kControls[] = {
    {K::DefPushButton, kClose, "閉じる", 153, 212, 50, 14},
    {K::GroupBox, kGroupColor, "RGB変調設定", 7, 7, 196, 98},
    {K::Static, kLabelC1, "R成分", 15, 24, 22, 11, kLabel},
    {K::Slider, kSliderC1, "", 40, 19, 130, 23, kStyleTicks},
    {K::Static, kValueC1, "", 174, 23, 20, 14, kValue},
    {K::Static, kLabelC2, "G成分", 15, 50, 22, 11, kLabel},
    {K::Slider, kSliderC2, "", 40, 46, 130, 23, kStyleTicks},
    {K::Static, kValueC2, "", 174, 50, 20, 14, kValue},
    {K::Static, kLabelC3, "B成分", 15, 78, 22, 11, kLabel},
    {K::Slider, kSliderC3, "", 40, 73, 130, 23, kStyleTicks},
    {K::Static, kValueC3, "", 174, 77, 20, 14, kValue},
    {K::GroupBox, -1, "エフェクト設定", 7, 109, 196, 98},
    {K::Static, -1, "モザイクサイズ", 15, 125, 47, 11, kLabel},
    {K::Slider, kSliderMosaic, "", 65, 121, 105, 23, kStyleTicks},
    {K::Static, kValueMosaic, "", 174, 125, 20, 14, kValue},
    {K::Static, -1, "ペイント階調", 15, 152, 47, 11, kLabel},
    {K::Slider, kSliderPaint, "", 65, 148, 105, 23, kStyleTicks},
    {K::Static, kValuePaint, "", 174, 152, 20, 14, kValue},
    {K::Static, -1, "ストロボ間隔", 15, 179, 47, 11, kLabel},
    {K::Slider, kSliderStrobe, "", 65, 175, 105, 23, kStyleTicks},
    {K::Static, kValueStrobe, "", 174, 179, 20, 14, kValue},
};

constexpr DialogTemplate kTemplate{138, "カラー変調設定", 210, 233, kDialogFont, 9, kControls};

constexpr EffectCaptions kCaptions[3] = {
    {"RGB変調設定", {"Ｒ成分", "Ｇ成分", "Ｂ成分"}},
    {"YUV変調設定", {"Ｙ成分", "Ｕ成分", "Ｖ成分"}},
    {"HSV変調設定", {"Ｈ成分", "Ｓ成分", "Ｖ成分"}},
};

}  // namespace

const DialogTemplate& EffectDialogTemplate() {
    return kTemplate;
}

const EffectCaptions& EffectCaptionsFor(int nKind) {
    return kCaptions[nKind < 0 || nKind > 2 ? 0 : nKind];
}

}  // namespace res
