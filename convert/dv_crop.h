#pragma once
// The DV reduction a conversion may apply: a 360×240 picture written as its middle 320
// columns (20 dropped at each side), 320×240.
#include <cstdint>

inline constexpr int32_t kDvWidth = 360;
inline constexpr int32_t kDvHeight = 240;
inline constexpr int32_t kDvCropWidth = 320;
inline constexpr int32_t kDvCropLeft = (kDvWidth - kDvCropWidth) / 2;

// Whether a picture of this size is reduced when the DV crop is asked for.
constexpr bool TakesDvCrop(int32_t nWidth, int32_t nHeight) {
    return nWidth == kDvWidth && nHeight == kDvHeight;
}
