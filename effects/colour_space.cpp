#include "effects/colour_space.h"

#include <algorithm>

namespace effects {
namespace {

int32_t Clamp(int32_t x, int32_t lo, int32_t hi) {
    return x < lo ? lo : (x > hi ? hi : x);
}

}  // namespace

void RgbToYuv(const Bgr& src, Yuv& yuv, int bWithChroma) {
    const int32_t r = src.r;
    const int32_t g = src.g;
    const int32_t b = src.b;
    yuv.y = static_cast<uint8_t>(Luma(r, g, b));
    if (bWithChroma != 0) {
        const int32_t u = ((-173 * r) >> 10) + ((512 * b) >> 10) + ((-339 * g) >> 10);
        const int32_t v = ((512 * r) >> 10) + ((-84 * b) >> 10) + ((-428 * g) >> 10);
        yuv.u = static_cast<int8_t>(Clamp(u, -128, 127));
        yuv.v = static_cast<int8_t>(Clamp(v, -128, 127));
    }
}

void YuvToRgb(const Yuv& yuv, Bgr& out) {
    const int32_t y = yuv.y;
    const int32_t u = yuv.u;
    const int32_t v = yuv.v;
    out.r = static_cast<uint8_t>(Clamp(y + ((1436 * v) >> 10), 0, 255));
    out.g = static_cast<uint8_t>(Clamp(y - ((354 * u) >> 10) - ((732 * v) >> 10), 0, 255));
    out.b = static_cast<uint8_t>(Clamp(y + ((1814 * u) >> 10), 0, 255));
}

uint8_t ToByte(double x) {
    if (x < 0.0) {
        return 0;
    }
    if (x > 255.0) {
        return 255;
    }
    return static_cast<uint8_t>(x);
}

void RgbToHsv(const Bgr& src, Hsv& hsv) {
    const double r = src.r;
    const double g = src.g;
    const double b = src.b;
    const double max = std::max(std::max(r, g), b);
    const double min = std::min(std::min(r, g), b);
    const double s = max == 0.0 ? 0.0 : ((max - min) * 255.0) / max;
    double h = 0.0;
    if (max != min) {
        const double d = max - min;
        if (max == r) {
            h = (((g - b) * 255.0) / d) * k6;
        } else if (max == g) {
            h = ((((b - r) * 255.0) / d) + 512.0) * k6;
        } else {
            h = ((((r - g) * 255.0) / d) + 1024.0) * k6;
        }
        if (h < 0.0) {
            h += 256.0;
        }
    }
    hsv.h = ToByte(h);
    hsv.s = ToByte(s);
    hsv.v = ToByte(max);
}

void HsvToRgb(const Hsv& hsv, Bgr& out) {
    const double x = 6.0 * hsv.h;
    double cr = 0.0;
    double cg = 0.0;
    double cb = 0.0;
    switch ((6 * hsv.h) >> 8) {
        case 0:
            cr = 255.0, cg = x, cb = 0.0;
            break;
        case 1:
            cr = 512.0 - x, cg = 255.0, cb = 0.0;
            break;
        case 2:
            cr = 0.0, cg = 255.0, cb = x - 512.0;
            break;
        case 3:
            cr = 0.0, cg = 1024.0 - x, cb = 255.0;
            break;
        case 4:
            cr = x - 1024.0, cg = 0.0, cb = 255.0;
            break;
        default:
            cr = 255.0, cg = 0.0, cb = 1536.0 - x;
            break;
    }
    const double f = 255.0 - hsv.s;
    const double v = hsv.v;
    auto channel = [&](double c) { return ToByte((((((255.0 - c) * f) * k255) + c) * v) * k255); };
    out.r = channel(cr);
    out.g = channel(cg);
    out.b = channel(cb);
}

void ModulateRgb(const Bgr& src, Bgr& out, const int32_t (&level)[3]) {
    out.r = static_cast<uint8_t>(Clamp(src.r + level[0], 0, 255));
    out.g = static_cast<uint8_t>(Clamp(src.g + level[1], 0, 255));
    out.b = static_cast<uint8_t>(Clamp(src.b + level[2], 0, 255));
}

void ModulateYuv(const Bgr& src, Bgr& out, const int32_t (&level)[3]) {
    Yuv yuv{};
    RgbToYuv(src, yuv, 1);
    yuv.y = static_cast<uint8_t>(Clamp(yuv.y + level[0], 0, 255));
    yuv.u = static_cast<int8_t>(Clamp(yuv.u + level[1], -128, 127));
    yuv.v = static_cast<int8_t>(Clamp(yuv.v + level[2], -128, 127));
    YuvToRgb(yuv, out);
}

void ModulateHsv(const Bgr& src, Bgr& out, const int32_t (&level)[3]) {
    Hsv hsv{};
    RgbToHsv(src, hsv);
    hsv.h = static_cast<uint8_t>((hsv.h + level[0]) & 0xFF);
    hsv.s = static_cast<uint8_t>(Clamp(hsv.s + level[1], 0, 255));
    hsv.v = static_cast<uint8_t>(Clamp(hsv.v + level[2], 0, 255));
    HsvToRgb(hsv, out);
}

}  // namespace effects
