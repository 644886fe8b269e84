#pragma once
// How large a picture may be to be played or converted here. Its decoded frames, their
// 24-bit copies and the decoder's own pictures are all held in memory at once, so a picture
// that would not fit is refused before a frame of it is decoded.
#include <cstdint>

namespace platform {

// The most pixels a picture may have, whatever the memory: a square of kMaxPictureSide (every
// 8K format fits).
inline constexpr int kMaxPictureSide = 8192;
inline constexpr int64_t kMaxPicturePixels = int64_t{kMaxPictureSide} * kMaxPictureSide;

// The memory a picture of nWidth×nHeight takes at its peak while converted, in bytes: some
// 12–14 bytes a pixel were measured for an intra-only picture; decoders that keep frames for
// reference take more, so 16 are counted.
int64_t PeakBytesForPicture(int nWidth, int nHeight);

// The memory this process may still take, in bytes: the system's available memory, within
// the control group's limit where there is one; -1 when neither can be read.
int64_t AvailableMemoryBytes();

enum class PictureFit { Fits, TooManyPixels, TooLittleMemory };
// Whether a picture of nWidth×nHeight may be decoded (sizes of 0 or less: not known yet).
PictureFit FitPicture(int nWidth, int nHeight);

}  // namespace platform
