#pragma once
// The 24-bit frame (BGR, bottom row first) into 8-bit planar YUV 4:2:0 or 4:2:2 with BT.601
// or BT.709 coefficients, in the range the format says: a kernel of our own, several times quicker
// than swscale's packed-RGB input at the same size. Chroma is the mean of each 2×2 (or 2×1) block.
#include <cstddef>
#include <cstdint>

struct AVFrame;

namespace platform {

// False, and nothing written, for a format other than yuv(j)420p and yuv(j)422p.
bool BgrToYuvPlanar(const uint8_t* pBottomUp, size_t nRowBytes, int nWidth, int nHeight,
                    bool bBt709, AVFrame& out);

}  // namespace platform
