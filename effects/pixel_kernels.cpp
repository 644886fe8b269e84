#include "effects/pixel_kernels.h"

#include <algorithm>
#include <cstring>

#include "effects/colour_space.h"

namespace effects {
namespace {

int32_t Clamp(int32_t x, int32_t lo, int32_t hi) { return x < lo ? lo : (x > hi ? hi : x); }

// Each product of the YUV conversions is shifted on its own, so every term is a function of
// one byte: tables of those terms give the same sums.
struct YuvTerms {
    YuvTerms() {
        for (int32_t v = 0; v < 256; ++v) {
            yR[v] = (306 * v) >> 10;
            yG[v] = (601 * v) >> 10;
            yB[v] = (117 * v) >> 10;
            uR[v] = (-173 * v) >> 10;
            uG[v] = (-339 * v) >> 10;
            uB[v] = (512 * v) >> 10;
            vR[v] = (512 * v) >> 10;
            vG[v] = (-428 * v) >> 10;
            vB[v] = (-84 * v) >> 10;
            const int32_t s = v - 128;  // U and V as signed bytes, offset by 128
            rFromV[v] = (1436 * s) >> 10;
            gFromU[v] = (354 * s) >> 10;
            gFromV[v] = (732 * s) >> 10;
            bFromU[v] = (1814 * s) >> 10;
        }
        for (int32_t y = 0; y < 256; ++y) {
            Bgr out{};
            YuvToRgb(Yuv{static_cast<uint8_t>(y), -11, 7}, out);
            sepia[y] = out;
        }
    }
    int32_t yR[256], yG[256], yB[256];
    int32_t uR[256], uG[256], uB[256];
    int32_t vR[256], vG[256], vB[256];
    int32_t rFromV[256], gFromU[256], gFromV[256], bFromU[256];
    Bgr sepia[256];
};

const YuvTerms& Yuvt() {
    static const YuvTerms t;
    return t;
}

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
                red[(n + 255) * 256 + d] = ToByte(h);
                green[(n + 255) * 256 + d] = ToByte((((dn * 255.0) / dd) + 512.0) * k6);
                blue[(n + 255) * 256 + d] = ToByte((((dn * 255.0) / dd) + 1024.0) * k6);
            }
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
    uint8_t red[511 * 256] = {};
    uint8_t green[511 * 256] = {};
    uint8_t blue[511 * 256] = {};
    uint8_t full[256] = {};        // channel with ramp value 255, by V (f does not matter)
    uint8_t zero[256 * 256] = {};  // channel with ramp value 0, by (f, V)
};

const HsvTables& Hsvt() {
    static const HsvTables t;
    return t;
}

}  // namespace

void MonochromeRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth) {
    const YuvTerms& t = Yuvt();
    for (int32_t x = 0; x < nWidth; ++x, pSrc += 3, pOut += 3) {
        // At most 254: no clamp needed.
        const auto y = static_cast<uint8_t>(t.yB[pSrc[0]] + t.yG[pSrc[1]] + t.yR[pSrc[2]]);
        pOut[0] = y;
        pOut[1] = y;
        pOut[2] = y;
    }
}

void SepiaRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth) {
    const YuvTerms& t = Yuvt();
    for (int32_t x = 0; x < nWidth; ++x, pSrc += 3, pOut += 3) {
        const Bgr& s = t.sepia[t.yB[pSrc[0]] + t.yG[pSrc[1]] + t.yR[pSrc[2]]];
        pOut[0] = s.b;
        pOut[1] = s.g;
        pOut[2] = s.r;
    }
}

RgbLevelTables::RgbLevelTables(const int32_t (&level)[3]) {
    for (int32_t v = 0; v < 256; ++v) {
        r[v] = static_cast<uint8_t>(Clamp(v + level[0], 0, 255));
        g[v] = static_cast<uint8_t>(Clamp(v + level[1], 0, 255));
        b[v] = static_cast<uint8_t>(Clamp(v + level[2], 0, 255));
    }
}

void RgbModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const RgbLevelTables& tables) {
    for (int32_t x = 0; x < nWidth; ++x, pSrc += 3, pOut += 3) {
        pOut[0] = tables.b[pSrc[0]];
        pOut[1] = tables.g[pSrc[1]];
        pOut[2] = tables.r[pSrc[2]];
    }
}

void YuvModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]) {
    const YuvTerms& t = Yuvt();
    for (int32_t x = 0; x < nWidth; ++x, pSrc += 3, pOut += 3) {
        const uint8_t b = pSrc[0];
        const uint8_t g = pSrc[1];
        const uint8_t r = pSrc[2];
        int32_t y = Clamp(t.yR[r] + t.yG[g] + t.yB[b], 0, 255);
        int32_t u = Clamp(t.uR[r] + t.uB[b] + t.uG[g], -128, 127);
        int32_t v = Clamp(t.vR[r] + t.vB[b] + t.vG[g], -128, 127);
        y = Clamp(y + level[0], 0, 255);
        u = Clamp(u + level[1], -128, 127) + 128;
        v = Clamp(v + level[2], -128, 127) + 128;
        pOut[2] = static_cast<uint8_t>(Clamp(y + t.rFromV[v], 0, 255));
        pOut[1] = static_cast<uint8_t>(Clamp(y - t.gFromU[u] - t.gFromV[v], 0, 255));
        pOut[0] = static_cast<uint8_t>(Clamp(y + t.bFromU[u], 0, 255));
    }
}

void HsvModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]) {
    const HsvTables& t = Hsvt();
    for (int32_t x = 0; x < nWidth; ++x, pSrc += 3, pOut += 3) {
        const int32_t b = pSrc[0];
        const int32_t g = pSrc[1];
        const int32_t r = pSrc[2];
        const int32_t max = std::max(std::max(r, g), b);
        const int32_t min = std::min(std::min(r, g), b);
        const int32_t d = max - min;
        int32_t h = 0;
        if (d != 0) {
            if (max == r) {
                h = t.red[(g - b + 255) * 256 + d];
            } else if (max == g) {
                h = t.green[(b - r + 255) * 256 + d];
            } else {
                h = t.blue[(r - g + 255) * 256 + d];
            }
        }
        h = (h + level[0]) & 0xFF;
        const int32_t s = Clamp(t.s[max * 256 + min] + level[1], 0, 255);
        const int32_t v = Clamp(max + level[2], 0, 255);

        const int32_t f = 255 - s;
        const uint8_t full = t.full[v];
        const uint8_t zero = t.zero[f * 256 + v];
        const double dx = 6.0 * h;
        const int32_t nSector = (6 * h) >> 8;
        double c = 0.0;  // the ramp value of the one channel between 0 and 255
        switch (nSector) {
            case 0: c = dx; break;
            case 1: c = 512.0 - dx; break;
            case 2: c = dx - 512.0; break;
            case 3: c = 1024.0 - dx; break;
            case 4: c = dx - 1024.0; break;
            default: c = 1536.0 - dx; break;
        }
        const uint8_t ramp =
            ToByte((((((255.0 - c) * static_cast<double>(f)) * k255) + c) * static_cast<double>(v)) *
                   k255);
        uint8_t* pR = pOut + 2;
        uint8_t* pG = pOut + 1;
        uint8_t* pB = pOut;
        switch (nSector) {
            case 0: *pR = full, *pG = ramp, *pB = zero; break;
            case 1: *pR = ramp, *pG = full, *pB = zero; break;
            case 2: *pR = zero, *pG = full, *pB = ramp; break;
            case 3: *pR = zero, *pG = ramp, *pB = full; break;
            case 4: *pR = ramp, *pG = zero, *pB = full; break;
            default: *pR = full, *pG = zero, *pB = ramp; break;
        }
    }
}

void MaskRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nBytes, uint8_t nMask) {
    for (int32_t i = 0; i < nBytes; ++i) {
        pOut[i] = pSrc[i] & nMask;
    }
}

void NegativeRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nBytes) {
    for (int32_t i = 0; i < nBytes; ++i) {
        pOut[i] = static_cast<uint8_t>(255 - pSrc[i]);
    }
}

}  // namespace effects
