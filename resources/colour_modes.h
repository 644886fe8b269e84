#pragma once
// The colour modes' numbers and their settings' ranges, once: the view's commands, the effect
// dialog's sliders, the command line's options (and so its usage, manual and completion) and
// the fuzzers read them here. A mode's number is its position in the カラー menu and the
// value kept in AppState.nColorMode and the settings file.
#include <cstdint>
#include <string_view>

namespace colour {

inline constexpr int32_t kModeCount = 10;
// The modes' numbers as the bash completion offers them.
inline constexpr std::string_view kModeNumbers = "0 1 2 3 4 5 6 7 8 9";
static_assert(kModeNumbers.size() == 2 * kModeCount - 1, "one number per mode");

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

}  // namespace colour
