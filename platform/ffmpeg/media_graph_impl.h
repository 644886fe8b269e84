#pragma once
// The media graph's state, shared by its files: the graph itself (media_graph_ffmpeg.cpp)
// and the decode cursor (decode_cursor.cpp: demux, decode, seek).
#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/picture_converter.h"
#include "platform/media_graph.h"
#include "platform/position_model.h"

namespace platform {

inline constexpr int64_t kUnitsPerSecond = kMediaUnitsPerSecond;
inline constexpr AVRational kUnitBase{1, static_cast<int>(kUnitsPerSecond)};
// A forward jump shorter than this always decodes on; seeking is for far jumps.
inline constexpr int64_t kNearJump = kUnitsPerSecond;
// Without an index we cannot tell where key frames are; beyond this a seek pays off.
inline constexpr int64_t kFarJumpWithoutIndex = 5 * kUnitsPerSecond;
// Decoders that keep failing on a broken stream are given up on after this many errors.
inline constexpr int kMaxConsecutiveErrors = 256;
inline constexpr int kMaxFrameSide = 16384;
inline constexpr int64_t kUnknownDuration = std::numeric_limits<int64_t>::max() / 4;
// How far before a frame's start a position may lie and still read as that start: 1 ms.
inline constexpr int64_t kRoundingTolerance = 10'000;

struct MediaGraph::Impl {
    explicit Impl(const IMediaClock& c) : clock(c) {}

    const IMediaClock& clock;
    ff::FormatPtr pFormat;
    ff::CodecPtr pCodec;
    ff::PacketPtr pPacket{av_packet_alloc()};
    ff::FramePtr pCur{av_frame_alloc()};   // newest frame whose start <= target
    ff::FramePtr pNext{av_frame_alloc()};  // a decoded frame beyond the target, kept for later
    ff::FramePtr pSpare{av_frame_alloc()};
    ff::FramePtr pCopied{av_frame_alloc()};  // a reference to the picture last copied out
    bool bKeepCopied = false;
    PictureConverter converter;
    AVStream* pStream = nullptr;
    int nStreamIndex = -1;
    bool bConnected = false;
    dib::BitmapInfoHeader header;  // of the upright picture
    int nQuarterTurns = 0;         // clockwise, to show the decoded picture upright
    AVRational sar{0, 1};          // of the upright picture's pixels

    // Time facts, 100 ns units relative to the first video frame.
    int64_t llOrigin = 0;  // timestamp of the first frame, in the stream's time base
    int64_t llFrameUnits = kUnitsPerSecond / 30;
    int64_t llDuration = 0;
    bool bDurationEstimated = false;  // from bit rate or sparse timestamps, not the container

    PositionModel position{clock, [this](int64_t llPos) { return DurationSeenFrom(llPos); }};

    // Decoder state.
    bool bHaveCur = false;
    bool bHaveNext = false;
    int64_t llCurStart = 0;
    int64_t llNextStart = 0;
    int64_t llLastStart = -1;
    bool bInputEnded = false;
    bool bDecoderDrained = false;
    int64_t llDecoded = 0;
    int64_t llSeeks = 0;

    // An estimated end is checked by decoding once a position reaches it: frames found
    // beyond it move the end on, running out of frames fixes it.
    int64_t DurationSeenFrom(int64_t llPos);

    // How far before a frame's start a position still counts as that frame's.
    int64_t Tolerance() const { return std::min<int64_t>(kRoundingTolerance, llFrameUnits / 2); }

    int64_t FrameStart(const AVFrame* pFrame);

    // Decodes the next frame in presentation order into pFrame; false at the end of the
    // stream or when the decoder cannot go on.
    bool DecodeOne(AVFrame* pFrame);

    // Sends the next packet of our stream to the decoder, or the end-of-stream signal.
    bool FeedPacket();

    // The end of the video is the end of its last frame, which a truncated file reveals only
    // when decoding runs out.
    void NoteEndOfFrames();

    bool ShouldSeek(int64_t llTarget) const;

    void SeekBefore(int64_t llTarget);

    // Decodes the next frame into pNext; false when the stream has no more.
    bool DecodeNext();

    // Seeks so that decoding starts at or before llTarget. Demuxers without an index may land
    // late, or past the last frame; then it tries again further back, at last from the start.
    void SeekAndPrime(int64_t llTarget);

    // Makes pCur the newest frame whose start is not after llTarget.
    void DecodeTo(int64_t llTarget);

    // The current frame as the upright 24-bit picture of the header's size.
    bool ConvertCurrent(uint8_t* pDst, size_t nRowBytes) {
        return converter.Convert(*pCur, header, nQuarterTurns, pDst, nRowBytes);
    }

    bool OpenVideo();

    void WorkOutTimes(const AVFrame* pFirst);

    // Decodes the first frame: it fixes the format and the time origin, and proves that
    // the stream can be decoded at all.
    bool Connect(int nThreads);

    void UseContainerDuration();
};

}  // namespace platform
