#pragma once
// The colour modes, once: their menu items and prompts, their settings and those settings'
// ranges. The カラー menu, the status prompts, the view's commands, the effect dialog's
// sliders, the command line's options (and so its usage, manual and completion) and the
// fuzzers read them here. A mode's number is its position in the table, in the menu, in
// AppState.nColorMode and in the settings file; its picture is made by effects'
// TransformFrame24Rows, one case per mode.
#include <cstdint>
#include <iterator>
#include <string_view>

namespace colour {

// What the mode's settings dialog shows: nothing (no dialog), three levels, or one slider.
enum class ModeSettings { None, Levels, MosaicSize, PaintLevels, StrobeInterval };

struct ModeDef {
    const char* pszMenuText;  // with its & mnemonic
    const char* pszPrompt;    // the status-bar prompt, then a line break and the tooltip
    ModeSettings settings;
    bool bStartsGroup;  // a separator comes before it in the menu
};

inline constexpr ModeDef kModes[] = {
    {"標準(&N)", "標準フルカラー表示\n標準", ModeSettings::None, false},
    {"白黒(&M)", "モノクロ変換表示\n白黒", ModeSettings::None, false},
    {"セピア(&S)", "セピア調に変換\nセピア", ModeSettings::None, false},
    {"RGB変調(&R)", "RGB形式でのカラー変調\nRGB変調", ModeSettings::Levels, true},
    {"YUV変調(&Y)", "YUV形式でのカラー変調\nYUV変調", ModeSettings::Levels, false},
    {"HSV変調(&H)", "HSV形式でのカラー変調\nHSV変調", ModeSettings::Levels, false},
    {"モザイク(&Z)", "画像全体にモザイクを掛ける\nモザイク", ModeSettings::MosaicSize, true},
    {"ペイント(&P)", "画面全体にペイント効果を掛ける\nペイント", ModeSettings::PaintLevels, false},
    {"ストロボモーション(&T)", "ストロボモーションで再生する\nストロボモーション",
     ModeSettings::StrobeInterval, false},
    {"ネガ反転(&G)", "画像全体の色調をネガ反転する\nネガ反転", ModeSettings::None, false},
};
inline constexpr auto kModeCount = static_cast<int32_t>(std::size(kModes));
// The modes' numbers as the bash completion offers them.
inline constexpr std::string_view kModeNumbers = "0 1 2 3 4 5 6 7 8 9";
static_assert(kModeNumbers.size() == 2 * kModeCount - 1, "one number per mode");

// Whether mode n has three levels (RGB, YUV, HSV modulation), and whether it has a settings
// dialog (the levels, or one slider). False for a number no mode has.
constexpr bool HasLevels(int32_t n) {
    return n >= 0 && n < kModeCount && kModes[n].settings == ModeSettings::Levels;
}
constexpr bool HasDialog(int32_t n) {
    return n >= 0 && n < kModeCount && kModes[n].settings != ModeSettings::None;
}
// Which of the modes with levels n is, in table order: 0 RGB, 1 YUV, 2 HSV.
constexpr int32_t LevelsIndexOf(int32_t n) {
    int32_t nIndex = 0;
    for (int32_t k = 0; k < n; ++k) {
        nIndex += HasLevels(k) ? 1 : 0;
    }
    return nIndex;
}

struct Range {
    int32_t nMin;
    int32_t nMax;
};

// The settings' ranges: a level, a mosaic block's side, paint's levels, the strobe's interval.
inline constexpr Range kLevels{-255, 255};
inline constexpr Range kMosaicSizes{1, 32};
inline constexpr Range kPaintLevels{1, 8};
inline constexpr Range kStrobeIntervals{1, 30};

}  // namespace colour
