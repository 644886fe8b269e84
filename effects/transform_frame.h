#pragma once
// Turns the decoded frame into the 24-bit picture the view shows: 8-, 16- and 32-bit frames
// become plain 24-bit, 24-bit frames go through the colour mode in AppState. Rows of source
// and output are padded to 4 bytes. Allocates nothing.
#include <cstdint>

#include "platform/dib.h"

namespace effects {

// What a 24-bit frame's transform depends on: the colour mode and its settings, as
// AppState holds them for the screen or as a conversion fixed them for a frame it writes.
struct EffectSettings {
    int32_t nColorMode = 0;
    int32_t nRgbLevel[3] = {0, 0, 0};
    int32_t nYuvLevel[3] = {0, 0, 0};
    int32_t nHsvLevel[3] = {0, 0, 0};
    int32_t nMosaicSize = 4;
    int32_t nPaintLevels = 3;
    int32_t nStrobeInterval = 5;
    int32_t nStrobeCount = 0;
};
// The screen's, from AppState.
EffectSettings ScreenEffectSettings();

// The paint effect keeps the top nLevels bits of each byte.
uint8_t PaintMask(int32_t nLevels);

// A 24-bit frame (rows padded to 4 bytes) through the colour mode of `settings`: what
// TransformFrame does with AppState's, without reading or counting anything global, so any
// thread may call it. pOut must not overlap pSrc.
void TransformFrame24(uint8_t* pOut, const uint8_t* pSrc, int32_t nWidth, int32_t nHeight,
                      const EffectSettings& settings);
// Rows nFirst to nEnd − 1 (counted from the first in memory) of what TransformFrame24 makes:
// bands of one frame, made on several threads, give the same bytes.
void TransformFrame24Rows(uint8_t* pOut, const uint8_t* pSrc, int32_t nWidth, int32_t nHeight,
                          int32_t nFirst, int32_t nEnd, const EffectSettings& settings);

// pOut: the output pixels; pSrc: the source pixels; pHeader: the source header, followed by
// its colour table for 8-bit frames. Advances AppState.nStrobeCount once per call, whatever
// happens.
void TransformFrame(uint8_t* pOut, const uint8_t* pSrc, const dib::BitmapInfoHeader* pHeader,
                    int32_t nWidth, int32_t nHeight);

// True when TransformFrame would give the frame's pixels unchanged (a 24-bit frame in the
// standard mode), so that a caller may show the frame itself. Such a draw still counts:
// call CountDraw() for it, as TransformFrame does for each of its own.
bool LeavesFrameAsIs(const dib::BitmapInfoHeader& header);
void CountDraw();

}  // namespace effects
