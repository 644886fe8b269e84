#pragma once
// The sound track of an AVI being written: read from the source's first audio stream
// (a demuxer of its own), trimmed to the converted range, stretched to the picture's speed,
// and copied or encoded into the output. The writer asks for the sound up to the end of each
// frame it has written, so that the two are interleaved in the file.
// Include only from implementation files.
#include <functional>
#include <string>

#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/sound_plan.h"

struct AVFilterGraph;
struct AVFilterContext;

namespace platform {

class SoundTrack {
  public:
    using PacketWriter = std::function<bool(AVPacket*)>;

    SoundTrack();
    ~SoundTrack();
    SoundTrack(const SoundTrack&) = delete;
    SoundTrack& operator=(const SoundTrack&) = delete;

    // Opens the source's sound and adds its stream to pOut (before its header is written).
    // False, with nothing added, when there is no sound to write: why then says why
    // (None when the source simply has none or the plan asks for none).
    bool Open(const SoundPlan& plan, AVFormatContext* pOut, SoundRefusal& why);
    // Writes the sound that plays before llEndUs (microseconds of output time). False when
    // the file could not be written; a sound that stops decoding just ends.
    bool WriteUntil(int64_t llEndUs, const PacketWriter& write);
    // Writes the rest up to llEndUs, where the picture ends, and no further.
    bool Finish(int64_t llEndUs, const PacketWriter& write);
    // How much of the source's sound a copy left out (packets of another rate or channel
    // count than the stream's, or that the file refused), in microseconds.
    int64_t LeftOutMicroseconds() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace platform
