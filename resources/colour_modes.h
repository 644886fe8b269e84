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

inline constexpr int32_t kModeCount = 10;
// The modes' numbers as the bash completion offers them.
inline constexpr std::string_view kModeNumbers = "0 1 2 3 4 5 6 7 8 9";
static_assert(kModeNumbers.size() == 2 * kModeCount - 1, "one number per mode");

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
static_assert(std::size(kModes) == kModeCount, "one row per mode");

struct Range {
    int32_t nMin;
    int32_t nMax;
};

// Modes 3, 4 and 5 (RGB, YUV, HSV modulation) have three levels each; modes 3 to 8 have a
// settings dialog (the three levels, or one slider).
inline constexpr Range kModesWithLevels{3, 5};
inline constexpr Range kModesWithDialog{3, 8};
inline constexpr Range kLevels{-255, 255};
inline constexpr Range kMosaicSizes{1, 32};
inline constexpr Range kPaintLevels{1, 8};
inline constexpr Range kStrobeIntervals{1, 30};

constexpr bool In(const Range& range, int32_t n) {
    return n >= range.nMin && n <= range.nMax;
}

// The ranges above say what the table says.
constexpr bool RangesFollowTheTable() {
    for (int32_t n = 0; n < kModeCount; ++n) {
        const ModeSettings settings = kModes[n].settings;
        if (In(kModesWithLevels, n) != (settings == ModeSettings::Levels) ||
            In(kModesWithDialog, n) != (settings != ModeSettings::None)) {
            return false;
        }
    }
    return true;
}
static_assert(RangesFollowTheTable(), "kModesWithLevels and kModesWithDialog follow kModes");

}  // namespace colour
