#pragma once
// A file's first audio stream, read packet by packet (SoundInput) and decoded into frames
// of a chosen rate and layout timed from a start instant (SoundDecoder): what the converted
// track and the sound played with the picture are both made from. Include only from
// implementation files.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/sound_filters.h"
#include "platform/ffmpeg/sound_reformat.h"

namespace platform {

struct SoundInput {
    // Null when the file has no audio stream (or does not open). Without bProbe the file is
    // probed (which decodes some of every stream, the picture too: a tenth of a second of CPU
    // for 1080p H.264) only when its header leaves the sound's codec, rate or channels unsaid;
    // the stream's start time is then unknown.
    static std::unique_ptr<SoundInput> Open(const std::string& strPath, bool bProbe = true);
    // The stream's next packet into pPacket; false at its end.
    bool ReadPacket(AVPacket* pPacket);
    // Moves to a second before llStart (the stream's time base), for a decoder to settle, or
    // to the stream's start when that is sooner.
    void SeekBefore(int64_t llStart);

    ff::FormatPtr pIn;
    AVStream* pStream = nullptr;
    bool bEnded = false;
    bool bRead = false;  // a packet has been read since the file was opened
};

class SoundDecoder {
  public:
    // A decoder that keeps failing with no new packet to take is given up on after this
    // many errors.
    static constexpr int kMaxDecoderErrors = 64;
    // Decodes input's stream from llStartMicroseconds (on the file's clock) on: earlier
    // samples are dropped,
    // silence fills where the sound starts late or has gaps, nLeadSamples (of the source's
    // rate) are taken off the front, the whole played dTempo source seconds a second. Null
    // when the stream cannot be decoded or filtered.
    static std::unique_ptr<SoundDecoder> Open(SoundInput& input, const SoundTarget& target,
                                              double dTempo, int64_t llStartMicroseconds,
                                              int64_t nLeadSamples);
    ~SoundDecoder();
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    // The next frame of the target's format, kept until Consume; null when the sound has
    // ended (its end, or a failure: the sound just stops there).
    AVFrame* Next();
    void Consume();
    // The decoder's own rate, before the target's.
    int SourceRate() const;

  private:
    explicit SoundDecoder(SoundInput& input) : m_input(input) {}
    void FeedFilters();

    SoundInput& m_input;
    ff::CodecPtr m_pDecoder;
    std::unique_ptr<SoundFilters> m_pFilters;
    std::unique_ptr<SoundReformat> m_pReformat;  // into the format the filters take
    ff::PacketPtr m_pPacket{av_packet_alloc()};
    ff::FramePtr m_pDecoded{av_frame_alloc()};
    ff::FramePtr m_pFiltered{av_frame_alloc()};
    int64_t m_llStartMicroseconds = 0;
    int64_t m_nLeadSamples = 0;
    bool m_bPending = false;       // m_pFiltered holds a frame not consumed yet
    bool m_bInputEnded = false;    // the decoder has given the filters its last frame
    bool m_bGraphDrained = false;  // the filters gave their last samples
    bool m_bStopped = false;       // the filters refused a frame: the sound ends here
};

}  // namespace platform
