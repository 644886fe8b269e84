#pragma once
// A decoded picture into the 24-bit frame: BGR, bottom row first, rows padded to 4 bytes,
// with FFmpeg's own colours (matrix and range as the picture says) and turned upright when
// the stream's display matrix asks for it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/dib.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/scaler_cache.h"

struct AVStream;

namespace platform {

// Quarter turns clockwise that show the stream upright, from its display matrix (phones
// record sideways and say so there), read as FFmpeg's own tools read it.
int QuarterTurnsOf(const AVStream* pStream);

// The 8-bit planar YUV picture turned by nQuarterTurns clockwise into out (given new
// buffers): what an encoder that takes YUV is given for a turned stream, without a trip
// through the 24-bit frame. False, and out left empty, for a format whose chroma would not
// keep its layout turned (4:2:2 by a quarter) or that is not 8-bit planar YUV.
bool TurnPicture(const AVFrame& in, int nQuarterTurns, AVFrame& out);

class PictureConverter {
  public:
    // The picture as a frame of the header's size (the upright picture's), turned by
    // nQuarterTurns; false when the conversion cannot be set up.
    bool Convert(const AVFrame& picture, const dib::BitmapInfoHeader& header, int nQuarterTurns,
                 uint8_t* pDst, size_t nRowBytes);
    // The picture, unturned and of its own size, top row first, in an 8-bit packed RGB
    // format: the colours of its 24-bit frame (the same conversion, only laid out
    // otherwise).
    bool ConvertToPackedRgb(const AVFrame& picture, AVPixelFormat format, uint8_t* const dstData[4],
                            const int dstStride[4]);

  private:
    // The picture as a bottom-up 24-bit frame of w × h, as it was decoded.
    bool ConvertUnturned(const AVFrame& picture, uint8_t* pDst, size_t nRowBytes, int w, int h);
    // The picture scaled to w × h in `format`, with the colours its matrix and range say.
    bool Scale(const AVFrame& picture, int w, int h, AVPixelFormat format,
               uint8_t* const dstData[4], const int dstStride[4]);

    // The widest run of pixels swscale's vector code stores at once (AVX2's 32 pixels,
    // rounded up), and room of that many bytes.
    static constexpr int kStoreBlockPixels = 64;
    static constexpr size_t kStoreBlockBytes = 3 * kStoreBlockPixels;

    ScalerCache m_scaler;
    std::vector<uint8_t> m_turnBuffer;
    std::vector<uint8_t> m_stage;  // converted rows with room past their ends
};

}  // namespace platform
