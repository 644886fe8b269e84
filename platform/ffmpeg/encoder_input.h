#pragma once
// The frames an encoder is given. The pipeline's frames are 24-bit BGR, bottom row first;
// most compressors want YUV, in the matrix the compressor writes (BT.709 or BT.601). When the
// decoded picture behind a 24-bit frame is already YUV of the same size, the encoder takes
// that picture (as it is, or with only its range or chroma layout changed, or with its
// matrix changed in the same layout) instead of a conversion back from 24 bits: one colour
// conversion per frame, not three, and no rounding through RGB. An RGB compressor is given such a
// picture converted as its 24-bit frame would be, in the compressor's own layout: the same bytes,
// one pass. Include only from implementation files.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/picture_converter.h"

namespace platform {

class EncoderInput {
  public:
    // Frames of nWidth × nHeight in the encoder's pixel format, YUV in the BT.709 matrix or
    // else BT.601; false when out of memory.
    bool Open(int nWidth, int nHeight, AVPixelFormat encoderFormat, bool bBt709);
    // The frame made from a 24-bit bottom-up frame (rows nRowBytes apart), or null.
    // bOwnKernel: into planar 4:2:0 or 4:2:2 by our own quicker kernel rather than swscale
    // (whose bytes the frames written without a colour effect keep).
    AVFrame* FromDib(const uint8_t* pPixels, size_t nRowBytes, bool bOwnKernel = false);
    // The frame made from a decoded picture, or null when the picture cannot stand in for
    // its 24-bit copy here (another size, not 8-bit YUV, a picture of the other matrix into
    // YUV of another chroma layout) or the conversion cannot be made.
    AVFrame* FromPicture(const AVFrame& picture);
    // Whether FromPicture takes the picture (reads only what Open set: callable from another
    // thread than the one converting).
    bool Takes(const AVFrame& picture) const;

  private:
    // The picture in the encoder's layout with its range changed (to full, or to studio).
    AVFrame* RemapRange(const AVFrame& picture, bool bToFull);
    // A picture of the other matrix in the encoder's layout and matrix, its range changed
    // as asked.
    AVFrame* RemapMatrix(const AVFrame& picture, bool bSourceFull, bool bTargetFull);

    int m_nWidth = 0;
    int m_nHeight = 0;
    AVPixelFormat m_format = AV_PIX_FMT_NONE;
    bool m_bYuvTarget = false;
    bool m_bRgbTarget = false;
    bool m_bBt709Target = false;
    ff::FramePtr m_pOwned{av_frame_alloc()};   // converted pictures
    ff::FramePtr m_pShared{av_frame_alloc()};  // a decoded picture passed on untouched
    ff::SwsPtr m_pFromDib;
    ScalerCache m_fromYuv;              // YUV of another layout or range into the encoder's
    std::vector<int32_t> m_chromaTerm;  // RemapMatrix's chroma share of one luma row
    PictureConverter m_toRgb;           // pictures for RGB compressors
};

}  // namespace platform
