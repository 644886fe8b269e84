#pragma once
// The filter chain a converted sound goes through: the samples before the range dropped,
// the stretch to the picture's speed (pitch kept), and the encoder's rate, channel layout and
// sample format. Include only from implementation files.
#include <memory>

#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/sound_plan.h"

struct AVFilterGraph;
struct AVFilterContext;

namespace platform {

// What the chain's output is: rate, channels (1 or 2, their default layout), sample format,
// and the samples a frame must hold (0: any number).
struct SoundTarget {
    int nSampleRate = 0;
    int nChannels = 2;
    AVSampleFormat eFormat = AV_SAMPLE_FMT_S16;
    int nFrameSize = 0;
};

struct SoundFilters {
    // For frames from decoder, timed in samples from the range's start (earlier ones are
    // dropped), played dTempo source seconds a second, into frames of the target. Null when
    // the chain cannot be built.
    static std::unique_ptr<SoundFilters> Make(const AVCodecContext& decoder,
                                              const SoundTarget& target, double dTempo);
    ~SoundFilters();
    SoundFilters(const SoundFilters&) = delete;
    SoundFilters& operator=(const SoundFilters&) = delete;

    AVFilterGraph* pGraph = nullptr;  // owned
    AVFilterContext* pSource = nullptr;
    AVFilterContext* pSink = nullptr;

  private:
    SoundFilters() = default;
};

}  // namespace platform
