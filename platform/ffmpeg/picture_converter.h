#pragma once
// A decoded picture into the 24-bit frame: BGR, bottom row first, rows padded to 4 bytes,
// with FFmpeg's own colours (matrix and range as the picture says) and turned upright when
// the stream's display matrix asks for it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/dib.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"

struct AVStream;

namespace platform {

// Quarter turns clockwise that show the stream upright, from its display matrix (phones
// record sideways and say so there), read as FFmpeg's own tools read it.
int QuarterTurnsOf(const AVStream* pStream);

class PictureConverter {
  public:
    // The picture as a frame of the header's size (the upright picture's), turned by
    // nQuarterTurns; false when the conversion cannot be set up.
    bool Convert(const AVFrame& picture, const dib::BitmapInfoHeader& header, int nQuarterTurns,
                 uint8_t* pDst, size_t nRowBytes);

  private:
    // The picture as a bottom-up 24-bit frame of w × h, as it was decoded.
    bool ConvertUnturned(const AVFrame& picture, uint8_t* pDst, size_t nRowBytes, int w, int h);

    ff::SwsPtr m_pSws;
    const SwsContext* m_pSwsConfigured = nullptr;
    int m_nSwsColourKey = -1;  // the matrix and range the colour tables were built for
    std::vector<uint8_t> m_turnBuffer;
};

}  // namespace platform
