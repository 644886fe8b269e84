#pragma once
// The display colour modes, stored as a plain integer in AppState.nColorMode.
#include <cstdint>

enum class ColorMode : int32_t {
    Standard = 0,
    Monochrome = 1,
    Sepia = 2,
    RgbModulation = 3,
    YuvModulation = 4,
    HsvModulation = 5,
    Mosaic = 6,
    Paint = 7,
    StrobeMotion = 8,
    Negative = 9,
};
