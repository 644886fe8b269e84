#pragma once
// Turns the decoded frame into the 24-bit picture the view shows: 8-, 16- and 32-bit frames
// become plain 24-bit, 24-bit frames go through the colour mode in AppState. Rows of source
// and output are padded to 4 bytes. Allocates nothing.
#include <cstdint>

#include "platform/dib.h"

namespace effects {

// The paint effect keeps the top nLevels bits of each byte.
uint8_t PaintMask(int32_t nLevels);

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
