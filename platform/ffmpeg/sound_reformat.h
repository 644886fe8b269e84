#pragma once
// Decoded sound in one format from start to end. A stream may change its rate, channels or
// sample format on the way (two recordings joined, a damaged frame header); the filters
// after the decoder are built for one format and refuse any other, so the frames of another
// are resampled into it here. Include only from implementation files.
#include <memory>

#include "platform/ffmpeg/ffmpeg_ptr.h"

extern "C" {
#include <libswresample/swresample.h>
}

namespace platform {

class SoundReformat {
  public:
    // The format every frame is to have: the decoder's as the stream begins.
    explicit SoundReformat(const AVCodecContext& decoder);
    ~SoundReformat();
    SoundReformat(const SoundReformat&) = delete;
    SoundReformat& operator=(const SoundReformat&) = delete;

    // pDecoded itself when it has the format, else its samples in the format (valid until the
    // next call); null when they cannot be converted. The timestamp is left to the caller.
    AVFrame* Take(AVFrame* pDecoded);
    int Rate() const { return m_nRate; }

  private:
    struct SwrFreer {
        void operator()(SwrContext* p) const { swr_free(&p); }
    };
    bool HasFormat(const AVFrame& frame) const;

    int m_nRate = 0;
    AVSampleFormat m_eFormat = AV_SAMPLE_FMT_NONE;
    AVChannelLayout m_layout{};
    std::unique_ptr<SwrContext, SwrFreer> m_pSwr;
    AVChannelLayout m_swrFrom{};  // what the resampler is set up to take
    int m_nSwrFromRate = 0;
    AVSampleFormat m_eSwrFromFormat = AV_SAMPLE_FMT_NONE;
    ff::FramePtr m_pOut{av_frame_alloc()};
};

}  // namespace platform
