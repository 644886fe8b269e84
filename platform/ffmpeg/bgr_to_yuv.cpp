#include "platform/ffmpeg/bgr_to_yuv.h"

#include <algorithm>
#include <cstddef>

#include "platform/kernel_clones.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace platform {
namespace {

// RGB to YUV in 15-bit fixed point, for a matrix's red and blue weights, in limited range
// (studio swing) or full range (JPEG).
struct Matrix {
    int32_t yr, yg, yb, yOffset;
    int32_t ur, ug, ub;
    int32_t vr, vg, vb;
};
constexpr int32_t Fix(double d) {
    return static_cast<int32_t>(d * 32768.0 + (d < 0 ? -0.5 : 0.5));
}
constexpr Matrix MakeMatrix(double kr, double kb, bool bFull) {
    const double kg = 1 - kr - kb;
    const double dLuma = bFull ? 1.0 : 219.0 / 255;
    const double dChroma = bFull ? 1.0 : 224.0 / 255;
    const double du = dChroma / (2 * (1 - kb));  // B − Y to U
    const double dv = dChroma / (2 * (1 - kr));  // R − Y to V
    return {Fix(kr * dLuma), Fix(kg * dLuma),    Fix(kb * dLuma),    bFull ? 0 : 16, Fix(-kr * du),
            Fix(-kg * du),   Fix((1 - kb) * du), Fix((1 - kr) * dv), Fix(-kg * dv),  Fix(-kb * dv)};
}
constexpr Matrix kMatrices[2][2] = {
    {MakeMatrix(0.299, 0.114, false), MakeMatrix(0.299, 0.114, true)},       // BT.601
    {MakeMatrix(0.2126, 0.0722, false), MakeMatrix(0.2126, 0.0722, true)}};  // BT.709

uint8_t Clamp8(int32_t v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

QUOVEL_KERNEL
void LumaRow(const uint8_t* pBgr, uint8_t* pY, ptrdiff_t w, const Matrix& m) {
    for (ptrdiff_t x = 0; x < w; ++x) {
        const int32_t b = pBgr[3 * x];
        const int32_t g = pBgr[3 * x + 1];
        const int32_t r = pBgr[3 * x + 2];
        pY[x] = Clamp8(((m.yr * r + m.yg * g + m.yb * b + (1 << 14)) >> 15) + m.yOffset);
    }
}

// U and V of summed B, G and R (nSumShift: the sum of 2 or 4 pixels, back to one).
inline void StoreChroma(int32_t b, int32_t g, int32_t r, int nSumShift, const Matrix& m,
                        uint8_t* pU, uint8_t* pV) {
    const int32_t nRound = 1 << (14 + nSumShift);
    *pU = Clamp8(((m.ur * r + m.ug * g + m.ub * b + nRound) >> (15 + nSumShift)) + 128);
    *pV = Clamp8(((m.vr * r + m.vg * g + m.vb * b + nRound) >> (15 + nSumShift)) + 128);
}

// Chroma of pairs of columns over one or two rows (pBgr1 may be pBgr0): nSumShift is 2 for
// blocks of 2×2, 1 for 2×1.
QUOVEL_KERNEL
void ChromaRow(const uint8_t* pBgr0, const uint8_t* pBgr1, uint8_t* pU, uint8_t* pV, ptrdiff_t w,
               int nSumShift, const Matrix& m) {
    const ptrdiff_t nPairs = w / 2;
    const bool bTwoRows = nSumShift == 2;
    for (ptrdiff_t x = 0; x < nPairs; ++x) {
        const uint8_t* a = pBgr0 + 6 * x;
        const uint8_t* c = pBgr1 + 6 * x;
        StoreChroma(a[0] + a[3] + (bTwoRows ? c[0] + c[3] : 0),
                    a[1] + a[4] + (bTwoRows ? c[1] + c[4] : 0),
                    a[2] + a[5] + (bTwoRows ? c[2] + c[5] : 0), nSumShift, m, pU + x, pV + x);
    }
    if ((w & 1) != 0) {  // the last column alone, counted twice
        const uint8_t* a = pBgr0 + 3 * (w - 1);
        const uint8_t* c = pBgr1 + 3 * (w - 1);
        StoreChroma(2 * (a[0] + (bTwoRows ? c[0] : 0)), 2 * (a[1] + (bTwoRows ? c[1] : 0)),
                    2 * (a[2] + (bTwoRows ? c[2] : 0)), nSumShift, m, pU + nPairs, pV + nPairs);
    }
}

}  // namespace

bool BgrToYuvPlanar(const uint8_t* pBottomUp, size_t nRowBytes, int w, int h, bool bBt709,
                    AVFrame& out) {
    bool bHalfHeight = false;
    bool bFull = false;
    switch (out.format) {
        case AV_PIX_FMT_YUV420P:
            bHalfHeight = true;
            break;
        case AV_PIX_FMT_YUVJ420P:
            bHalfHeight = true;
            bFull = true;
            break;
        case AV_PIX_FMT_YUV422P:
            break;
        case AV_PIX_FMT_YUVJ422P:
            bFull = true;
            break;
        default:
            return false;
    }
    const Matrix* pMatrix = &kMatrices[bBt709 ? 1 : 0][bFull ? 1 : 0];
    // Picture row y (from the top) is DIB row h − 1 − y.
    auto row = [&](int y) { return pBottomUp + nRowBytes * static_cast<size_t>(h - 1 - y); };
    for (int y = 0; y < h; ++y) {
        LumaRow(row(y), out.data[0] + static_cast<ptrdiff_t>(out.linesize[0]) * y, w, *pMatrix);
    }
    const int nChromaRows = bHalfHeight ? (h + 1) / 2 : h;
    for (int cy = 0; cy < nChromaRows; ++cy) {
        const int y0 = bHalfHeight ? 2 * cy : cy;
        const int y1 = bHalfHeight ? std::min(y0 + 1, h - 1) : y0;
        ChromaRow(row(y0), row(y1), out.data[1] + static_cast<ptrdiff_t>(out.linesize[1]) * cy,
                  out.data[2] + static_cast<ptrdiff_t>(out.linesize[2]) * cy, w,
                  bHalfHeight ? 2 : 1, *pMatrix);
    }
    return true;
}

}  // namespace platform
