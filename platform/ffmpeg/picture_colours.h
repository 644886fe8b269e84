#pragma once
// How a decoded picture's YUV is to be read: the rule that the 24-bit copy of a frame and a
// compressor given the picture itself must share, or their colours would differ.
// Include only from implementation files.
extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace platform {

// The "J" formats are their plain twins at full range.
inline AVPixelFormat PlainTwin(AVPixelFormat format) {
    switch (format) {
        case AV_PIX_FMT_YUVJ420P:
            return AV_PIX_FMT_YUV420P;
        case AV_PIX_FMT_YUVJ422P:
            return AV_PIX_FMT_YUV422P;
        case AV_PIX_FMT_YUVJ444P:
            return AV_PIX_FMT_YUV444P;
        case AV_PIX_FMT_YUVJ440P:
            return AV_PIX_FMT_YUV440P;
        case AV_PIX_FMT_YUVJ411P:
            return AV_PIX_FMT_YUV411P;
        default:
            return format;
    }
}

inline bool IsFullRangeFormat(AVPixelFormat format) {
    return PlainTwin(format) != format;
}

// Full range when the stream says so, by its range or by a "J" format.
inline bool IsFullRange(const AVFrame& picture) {
    return picture.color_range == AVCOL_RANGE_JPEG ||
           IsFullRangeFormat(static_cast<AVPixelFormat>(picture.format));
}

// BT.709 when the stream says so; every other matrix is read as BT.601 (BT.2020 aside).
inline bool ReadsAsBt709(const AVFrame& picture) {
    return picture.colorspace == AVCOL_SPC_BT709;
}

// BT.2020 (phones' HDR recordings): its matrix for the 24-bit copy, as FFmpeg converts it
// (no tone mapping); a compressor is never given such a picture as it is.
inline bool ReadsAsBt2020(const AVFrame& picture) {
    return picture.colorspace == AVCOL_SPC_BT2020_NCL || picture.colorspace == AVCOL_SPC_BT2020_CL;
}

// The matrix to read the picture's YUV with, as swscale names it.
inline int SwsMatrixOf(const AVFrame& picture) {
    return ReadsAsBt709(picture)    ? SWS_CS_ITU709
           : ReadsAsBt2020(picture) ? SWS_CS_BT2020
                                    : SWS_CS_DEFAULT;
}

}  // namespace platform
