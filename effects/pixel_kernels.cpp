#include "effects/pixel_kernels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "effects/colour_space.h"
#include "platform/kernel_clones.h"

namespace effects {
namespace {

// RgbToHsv reduces to table look-ups: S depends on (max, min) only, and H on the case, the
// difference in its numerator and max - min. HsvToRgb has, in every sector, one channel
// whose ramp value is 255 and one whose ramp value is 0; those depend on (S, V) only.
struct HsvTables {
    HsvTables() {
        for (int32_t max = 0; max < 256; ++max) {
            for (int32_t min = 0; min <= max; ++min) {
                const double dMax = max;
                const double dMin = min;
                s[max * 256 + min] = dMax == 0.0 ? 0 : ToByte(((dMax - dMin) * 255.0) / dMax);
            }
        }
        for (int32_t n = -255; n <= 255; ++n) {
            for (int32_t d = 1; d < 256; ++d) {
                const double dn = n;
                const double dd = d;
                double h = ((dn * 255.0) / dd) * k6;
                if (h < 0.0) {
                    h += 256.0;
                }
                const int32_t i = (n + 255) * 256 + d;
                hue[i] = ToByte(h);
                hue[511 * 256 + i] = ToByte((((dn * 255.0) / dd) + 512.0) * k6);
                hue[2 * 511 * 256 + i] = ToByte((((dn * 255.0) / dd) + 1024.0) * k6);
            }
        }
        for (int32_t h = 0; h < 256; ++h) {
            const double dx = 6.0 * h;
            const int32_t nSector = (6 * h) >> 8;
            // Byte offsets (B 0, G 1, R 2) of the channels whose ramp is 255, 0, and between.
            static constexpr uint8_t kPlaces[6][3] = {{2, 0, 1}, {1, 0, 2}, {1, 2, 0},
                                                      {0, 2, 1}, {0, 1, 2}, {2, 1, 0}};
            static constexpr double kBase[6] = {0.0, 512.0, -512.0, 1024.0, -1024.0, 1536.0};
            static constexpr double kSign[6] = {1.0, -1.0, 1.0, -1.0, 1.0, -1.0};
            // The ramp value exactly as HsvToRgb forms it: x, 512 - x, x - 512, ...
            ramp[h] = kSign[nSector] > 0.0 ? dx + kBase[nSector] : kBase[nSector] - dx;
            std::memcpy(places[h], kPlaces[nSector], 3);
        }
        for (int32_t v = 0; v < 256; ++v) {
            const double dv = v;
            full[v] = ToByte((((((255.0 - 255.0) * 0.0) * k255) + 255.0) * dv) * k255);
            for (int32_t f = 0; f < 256; ++f) {
                const double df = f;
                zero[f * 256 + v] = ToByte((((((255.0 - 0.0) * df) * k255) + 0.0) * dv) * k255);
            }
        }
    }
    uint8_t s[256 * 256] = {};
    uint8_t hue[3 * 511 * 256] = {};  // red, green and blue cases, by (numerator + 255, d)
    double ramp[256] = {};            // by hue: the ramp value of the one channel between 0 and 255
    uint8_t places[256][3] = {};      // by hue: where the 255, 0 and ramp channels go
    uint8_t full[256] = {};           // channel with ramp value 255, by V (f does not matter)
    uint8_t zero[256 * 256] = {};     // channel with ramp value 0, by (f, V)
};

const HsvTables& Hsvt() {
    static const HsvTables t;
    return t;
}

}  // namespace

// The luma of RgbToYuv, written so that the compiler can run eight pixels at a time.
inline int32_t LumaOf(const uint8_t* p) {
    return ((306 * p[2]) >> 10) + ((601 * p[1]) >> 10) + ((117 * p[0]) >> 10);
}

QUOVEL_KERNEL
void MonochromeRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth) {
    for (ptrdiff_t x = 0; x < nWidth; ++x) {
        const auto y = static_cast<uint8_t>(LumaOf(pSrc + 3 * x));  // at most 254
        pOut[3 * x] = y;
        pOut[3 * x + 1] = y;
        pOut[3 * x + 2] = y;
    }
}

// YuvToRgb of (Y, -11, 7): R = Y + (1436·7 >> 10) = Y + 9, G = Y - (354·-11 >> 10) -
// (732·7 >> 10) = Y - 1, B = Y + (1814·-11 >> 10) = Y - 20, each clamped.
QUOVEL_KERNEL
void SepiaRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth) {
    constexpr int32_t kR = (1436 * 7) >> 10;
    constexpr int32_t kG = -((354 * -11) >> 10) - ((732 * 7) >> 10);
    constexpr int32_t kB = (1814 * -11) >> 10;
    for (ptrdiff_t x = 0; x < nWidth; ++x) {
        const int32_t y = LumaOf(pSrc + 3 * x);
        pOut[3 * x] = static_cast<uint8_t>(std::clamp(y + kB, 0, 255));
        pOut[3 * x + 1] = static_cast<uint8_t>(std::clamp(y + kG, 0, 255));
        pOut[3 * x + 2] = static_cast<uint8_t>(std::clamp(y + kR, 0, 255));
    }
}

QUOVEL_KERNEL
void RgbModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]) {
    const int32_t lr = level[0];
    const int32_t lg = level[1];
    const int32_t lb = level[2];
    for (ptrdiff_t x = 0; x < nWidth; ++x) {
        pOut[3 * x] = static_cast<uint8_t>(std::clamp(pSrc[3 * x] + lb, 0, 255));
        pOut[3 * x + 1] = static_cast<uint8_t>(std::clamp(pSrc[3 * x + 1] + lg, 0, 255));
        pOut[3 * x + 2] = static_cast<uint8_t>(std::clamp(pSrc[3 * x + 2] + lr, 0, 255));
    }
}

// Plain integer arithmetic with no tables and no branches, so that the compiler can run
// eight pixels at a time.
QUOVEL_KERNEL
void YuvModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]) {
    const int32_t l0 = level[0];
    const int32_t l1 = level[1];
    const int32_t l2 = level[2];
    for (ptrdiff_t x = 0; x < nWidth; ++x) {
        const int32_t b = pSrc[3 * x];
        const int32_t g = pSrc[3 * x + 1];
        const int32_t r = pSrc[3 * x + 2];
        int32_t y = std::clamp(((306 * r) >> 10) + ((601 * g) >> 10) + ((117 * b) >> 10), 0, 255);
        int32_t u =
            std::clamp(((-173 * r) >> 10) + ((512 * b) >> 10) + ((-339 * g) >> 10), -128, 127);
        int32_t v =
            std::clamp(((512 * r) >> 10) + ((-84 * b) >> 10) + ((-428 * g) >> 10), -128, 127);
        y = std::clamp(y + l0, 0, 255);
        u = std::clamp(u + l1, -128, 127);
        v = std::clamp(v + l2, -128, 127);
        pOut[3 * x + 2] = static_cast<uint8_t>(std::clamp(y + ((1436 * v) >> 10), 0, 255));
        pOut[3 * x + 1] =
            static_cast<uint8_t>(std::clamp(y - ((354 * u) >> 10) - ((732 * v) >> 10), 0, 255));
        pOut[3 * x] = static_cast<uint8_t>(std::clamp(y + ((1814 * u) >> 10), 0, 255));
    }
}

QUOVEL_KERNEL
void HsvModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]) {
    const HsvTables& t = Hsvt();
    for (int32_t x = 0; x < nWidth; ++x, pSrc += 3, pOut += 3) {
        const int32_t b = pSrc[0];
        const int32_t g = pSrc[1];
        const int32_t r = pSrc[2];
        const int32_t max = std::max(std::max(r, g), b);
        const int32_t min = std::min(std::min(r, g), b);
        // Ties go to red, then green; a grey (max - min = 0) reads column 0, which holds 0.
        // The three candidate indices, then a pick the compiler makes without branches.
        const int32_t d = max - min;
        const int32_t iRed = (g - b + 255) * 256 + d;
        const int32_t iGreen = 511 * 256 + (b - r + 255) * 256 + d;
        const int32_t iBlue = 2 * 511 * 256 + (r - g + 255) * 256 + d;
        const int32_t iHue = max == r ? iRed : (max == g ? iGreen : iBlue);
        const int32_t h = (t.hue[iHue] + level[0]) & 0xFF;
        const int32_t s = std::clamp(t.s[max * 256 + min] + level[1], 0, 255);
        const int32_t v = std::clamp(max + level[2], 0, 255);

        // HsvToRgb: one channel's ramp is 255, one's is 0, and only the third needs the
        // double arithmetic; the hue says which goes where.
        const double c = t.ramp[h];
        const double f = 255 - s;
        const double ramp = (((((255.0 - c) * f) * k255) + c) * static_cast<double>(v)) * k255;
        const uint8_t* pPlaces = t.places[h];
        pOut[pPlaces[0]] = t.full[v];
        pOut[pPlaces[1]] = t.zero[(255 - s) * 256 + v];
        pOut[pPlaces[2]] = static_cast<uint8_t>(std::clamp(ramp, 0.0, 255.0));  // = ToByte
    }
}

QUOVEL_KERNEL
void MaskRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nBytes, uint8_t nMask) {
    for (int32_t i = 0; i < nBytes; ++i) {
        pOut[i] = pSrc[i] & nMask;
    }
}

QUOVEL_KERNEL
void NegativeRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nBytes) {
    for (int32_t i = 0; i < nBytes; ++i) {
        pOut[i] = static_cast<uint8_t>(255 - pSrc[i]);
    }
}

}  // namespace effects
