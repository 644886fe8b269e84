#pragma once
// The compressors we drive through FFmpeg's encoders: what each is, and how to open one. For
// the AVI writer and the compressor catalogue inside platform/.
#include "platform/compressor.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

namespace platform {

// One compressor we know how to drive.
struct CompressorSpec {
    uint32_t nFourCC;
    const char* pszName;
    const char* pszEncoder;  // nullptr: uncompressed, no encoder
    AVPixelFormat pixFmt;    // AV_PIX_FMT_NONE: chosen by the frame size (DV)
    bool bKeyFrames;
    bool bQScale;  // quality on the 1..31 quantiser scale
    bool bCrf;     // quality as x264's constant rate factor
    bool bRate;
};

// The entry for a four-character code, or null.
const CompressorSpec* FindSpec(uint32_t nFourCC);
// An encoder context for the choice at w × h, opened; null when the codec refuses.
ff::CodecPtr OpenEncoder(const CompressorSpec& entry, const CompressorChoice& choice, int w, int h,
                         AVRational timeBase, AVRational sar = AVRational{0, 1});

}  // namespace platform
