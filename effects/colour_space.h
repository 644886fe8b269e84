#pragma once
// Per-pixel colour arithmetic: RGB <-> YUV in 10-bit fixed point, RGB <-> HSV in double
// precision on a 256-step hue circle, and the three level modulations. Every shift, clamp
// and floating-point step is part of the result: the picture must come out the same to the
// last unit everywhere, so nothing here may be reordered or fused.
#include <cstdint>

namespace effects {

// 24-bit pixel, bytes in memory order.
struct Bgr {
    uint8_t b;
    uint8_t g;
    uint8_t r;
};
struct Yuv {
    uint8_t y;
    int8_t u;
    int8_t v;
};
struct Hsv {
    uint8_t h;
    uint8_t s;
    uint8_t v;
};

inline constexpr double k6 = 0.16666666666666666;    // nearest double to 1/6
inline constexpr double k255 = 0.00392156862745098;  // nearest double to 1/255

// Y always; U and V only when bWithChroma is non-zero (otherwise left as they were).
void RgbToYuv(const Bgr& src, Yuv& yuv, int bWithChroma);
void YuvToRgb(const Yuv& yuv, Bgr& out);
// Clamps to 0..255 and truncates toward zero; never rounds.
uint8_t ToByte(double x);
void RgbToHsv(const Bgr& src, Hsv& hsv);
void HsvToRgb(const Hsv& hsv, Bgr& out);

// level[0..2] are the offsets of the triple's components, each -255..255.
void ModulateRgb(const Bgr& src, Bgr& out, const int32_t (&level)[3]);
void ModulateYuv(const Bgr& src, Bgr& out, const int32_t (&level)[3]);
void ModulateHsv(const Bgr& src, Bgr& out, const int32_t (&level)[3]);

// The luma alone, as RgbToYuv computes it.
inline int32_t Luma(int32_t r, int32_t g, int32_t b) {
    const int32_t y = ((306 * r) >> 10) + ((601 * g) >> 10) + ((117 * b) >> 10);
    return y < 0 ? 0 : (y > 255 ? 255 : y);
}

}  // namespace effects
