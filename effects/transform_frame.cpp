#include "effects/transform_frame.h"

#include <algorithm>
#include <cstring>

#include "effects/color_mode.h"
#include "effects/pixel_kernels.h"
#include "state/app_state.h"

namespace effects {
namespace {

size_t PaddedRow(int32_t nWidth, int32_t nBytesPerPixel) {
    return (static_cast<size_t>(nWidth) * static_cast<size_t>(nBytesPerPixel) + 3) &
           ~static_cast<size_t>(3);
}

void FromPalette(uint8_t* pOut, const uint8_t* pSrc, const uint8_t* pTable, int32_t w, int32_t h) {
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* s = pSrc + PaddedRow(w, 1) * static_cast<size_t>(y);
        uint8_t* d = pOut + dib::RowBytes24(w) * static_cast<size_t>(y);
        for (int32_t x = 0; x < w; ++x, d += 3) {
            const uint8_t* pEntry = pTable + static_cast<size_t>(s[x]) * 4;
            d[0] = pEntry[0];
            d[1] = pEntry[1];
            d[2] = pEntry[2];
        }
    }
}

void From555(uint8_t* pOut, const uint8_t* pSrc, int32_t w, int32_t h) {
    auto expand = [](uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); };
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* s = pSrc + PaddedRow(w, 2) * static_cast<size_t>(y);
        uint8_t* d = pOut + dib::RowBytes24(w) * static_cast<size_t>(y);
        for (int32_t x = 0; x < w; ++x, s += 2, d += 3) {
            const uint32_t word = static_cast<uint32_t>(s[0]) | (static_cast<uint32_t>(s[1]) << 8);
            d[0] = expand(word & 0x1F);
            d[1] = expand((word >> 5) & 0x1F);
            d[2] = expand((word >> 10) & 0x1F);
        }
    }
}

void From32(uint8_t* pOut, const uint8_t* pSrc, int32_t w, int32_t h) {
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* s = pSrc + PaddedRow(w, 4) * static_cast<size_t>(y);
        uint8_t* d = pOut + dib::RowBytes24(w) * static_cast<size_t>(y);
        for (int32_t x = 0; x < w; ++x, s += 4, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

// Every pixel of an n × n block takes the block's sample at offset (n/2, n/2); a sample
// beyond the last row or column is taken from that row or column.
void Mosaic(uint8_t* pOut, const uint8_t* pSrc, int32_t w, int32_t h, int32_t y0, int32_t y1,
            int32_t n) {
    const size_t nRow = dib::RowBytes24(w);
    const int32_t half = n / 2;
    for (int32_t y = y0; y < y1; ++y) {
        const int32_t ys = std::min((y / n) * n + half, h - 1);
        const uint8_t* s = pSrc + nRow * static_cast<size_t>(ys);
        uint8_t* d = pOut + nRow * static_cast<size_t>(y);
        for (int32_t x0 = 0; x0 < w; x0 += n) {
            const uint8_t* pSample = s + static_cast<size_t>(std::min(x0 + half, w - 1)) * 3;
            const int32_t nEnd = std::min(x0 + n, w);
            for (int32_t x = x0; x < nEnd; ++x) {
                std::memcpy(d + static_cast<size_t>(x) * 3, pSample, 3);
            }
        }
    }
}

template <class RowFn>
void EachRow(uint8_t* pOut, const uint8_t* pSrc, int32_t w, int32_t y0, int32_t y1, RowFn&& row) {
    const size_t nRow = dib::RowBytes24(w);
    for (int32_t y = y0; y < y1; ++y) {
        row(pSrc + nRow * static_cast<size_t>(y), pOut + nRow * static_cast<size_t>(y));
    }
}

}  // namespace

void TransformFrame24(uint8_t* pOut, const uint8_t* pSrc, int32_t w, int32_t h,
                      const EffectSettings& e) {
    TransformFrame24Rows(pOut, pSrc, w, h, 0, h, e);
}

void TransformFrame24Rows(uint8_t* pOut, const uint8_t* pSrc, int32_t w, int32_t h, int32_t y0,
                          int32_t y1, const EffectSettings& e) {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, h);
    if (w <= 0 || y0 >= y1) {
        return;
    }
    const int32_t nBytes = w * 3;
    const uint8_t nPaintMask = PaintMask(e.nPaintLevels);
    switch (static_cast<ColorMode>(e.nColorMode)) {
        case ColorMode::Standard:
            EachRow(pOut, pSrc, w, y0, y1,
                    [&](const uint8_t* s, uint8_t* d) { std::memcpy(d, s, nBytes); });
            break;
        case ColorMode::Monochrome:
            EachRow(pOut, pSrc, w, y0, y1,
                    [&](const uint8_t* s, uint8_t* d) { MonochromeRow(s, d, w); });
            break;
        case ColorMode::Sepia:
            EachRow(pOut, pSrc, w, y0, y1,
                    [&](const uint8_t* s, uint8_t* d) { SepiaRow(s, d, w); });
            break;
        case ColorMode::RgbModulation:
            EachRow(pOut, pSrc, w, y0, y1,
                    [&](const uint8_t* s, uint8_t* d) { RgbModulationRow(s, d, w, e.nRgbLevel); });
            break;
        case ColorMode::YuvModulation:
            EachRow(pOut, pSrc, w, y0, y1,
                    [&](const uint8_t* s, uint8_t* d) { YuvModulationRow(s, d, w, e.nYuvLevel); });
            break;
        case ColorMode::HsvModulation:
            EachRow(pOut, pSrc, w, y0, y1,
                    [&](const uint8_t* s, uint8_t* d) { HsvModulationRow(s, d, w, e.nHsvLevel); });
            break;
        case ColorMode::Mosaic:
            // The size never leaves 1..32 through the dialog; anything else shows the frame.
            Mosaic(pOut, pSrc, w, h, y0, y1, std::clamp(e.nMosaicSize, 1, 32767));
            break;
        case ColorMode::Paint:
            EachRow(pOut, pSrc, w, y0, y1,
                    [&](const uint8_t* s, uint8_t* d) { MaskRow(s, d, nBytes, nPaintMask); });
            break;
        case ColorMode::StrobeMotion: {
            const int32_t nInterval = std::max(e.nStrobeInterval, 1);
            const bool bShow = e.nStrobeCount % nInterval == 0;
            EachRow(pOut, pSrc, w, y0, y1, [&](const uint8_t* s, uint8_t* d) {
                if (bShow) {
                    std::memcpy(d, s, nBytes);
                } else {
                    std::memset(d, 0, nBytes);
                }
            });
            break;
        }
        case ColorMode::Negative:
            EachRow(pOut, pSrc, w, y0, y1,
                    [&](const uint8_t* s, uint8_t* d) { NegativeRow(s, d, nBytes); });
            break;
        default:
            break;  // an unknown mode (only the settings file can hold one) draws nothing
    }
}

EffectSettings ScreenEffectSettings() {
    EffectSettings e;
    e.nColorMode = AppState.nColorMode;
    for (int i = 0; i < 3; ++i) {
        e.nRgbLevel[i] = AppState.nRgbLevel[i];
        e.nYuvLevel[i] = AppState.nYuvLevel[i];
        e.nHsvLevel[i] = AppState.nHsvLevel[i];
    }
    e.nMosaicSize = AppState.nMosaicSize;
    e.nPaintLevels = AppState.nPaintLevels;
    e.nStrobeInterval = AppState.nStrobeInterval;
    e.nStrobeCount = AppState.nStrobeCount;
    return e;
}

uint8_t PaintMask(int32_t nLevels) {
    if (nLevels >= 8) {
        return 0xFF;
    }
    if (nLevels <= 0) {
        return 0;
    }
    return static_cast<uint8_t>((0xFF << (8 - nLevels)) & 0xFF);
}

void TransformFrame(uint8_t* pOut, const uint8_t* pSrc, const dib::BitmapInfoHeader* pHeader,
                    int32_t nWidth, int32_t nHeight) {
    if (nWidth > 0 && nHeight > 0) {
        switch (pHeader->biBitCount) {
            case 8:
                FromPalette(pOut, pSrc, reinterpret_cast<const uint8_t*>(pHeader) + 40, nWidth,
                            nHeight);
                break;
            case 16:
                From555(pOut, pSrc, nWidth, nHeight);
                break;
            case 24:
                TransformFrame24(pOut, pSrc, nWidth, nHeight, ScreenEffectSettings());
                break;
            case 32:
                From32(pOut, pSrc, nWidth, nHeight);
                break;
            default:
                break;  // other formats write nothing
        }
    }
    CountDraw();
}

bool LeavesFrameAsIs(const dib::BitmapInfoHeader& header) {
    return header.biBitCount == 24 &&
           static_cast<ColorMode>(AppState.nColorMode) == ColorMode::Standard;
}

void CountDraw() {
    // The strobe counts draws, not frames: it advances on every one.
    AppState.nStrobeCount = static_cast<int32_t>(static_cast<uint32_t>(AppState.nStrobeCount) + 1);
}

}  // namespace effects
