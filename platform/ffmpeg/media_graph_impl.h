#pragma once
// The media graph's state, shared by its files: the graph itself (media_graph_ffmpeg.cpp),
// the decode thread (decode_cursor.cpp: demux, decode, seek, the 24-bit copy) and the
// caller's side of it (decode_ahead.cpp: which frame is on screen).
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <limits>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/ffmpeg/decoded_picture.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/picture_converter.h"
#include "platform/media_graph.h"
#include "platform/position_model.h"

namespace platform {

inline constexpr AVRational kUnitBase{1, static_cast<int>(kMediaUnitsPerSecond)};
// A forward jump shorter than this always decodes on; seeking is for far jumps.
inline constexpr int64_t kNearJump = kMediaUnitsPerSecond;
// Without an index we cannot tell where key frames are; beyond this a seek pays off.
inline constexpr int64_t kFarJumpWithoutIndex = 5 * kMediaUnitsPerSecond;
// A decoder that keeps failing with no new packet to take is given up on after this many
// errors. (Packets it refuses are passed over: a damaged stretch ends where the stream
// decodes again, or at the end of the file.)
inline constexpr int kMaxConsecutiveErrors = 256;
inline constexpr int kMaxFrameSide = 16384;
inline constexpr int64_t kUnknownDuration = kUnknownLength;
// How far before a frame's start a position may lie and still read as that start: 1 ms.
inline constexpr int64_t kRoundingTolerance = 10'000;
// The start of a frame that has no time of its own and follows no frame that has one.
inline constexpr int64_t kUntimed = -1;

// A decoded frame with its start and its 24-bit copy, made on the decode thread.
struct DecodedFrame {
    ff::FramePtr pFrame;
    int64_t llStart = 0;
    std::vector<uint8_t> bgr;  // the upright 24-bit picture, rows as in the frame blocks
    bool bCopied = false;      // the 24-bit copy was made (or tried)
    bool bConverted = false;   // and succeeded
};

// The graph's state. Three owners: the decode thread alone uses the demuxer, decoder and
// converter (once the thread runs); the caller's thread alone uses the position and the
// frame on screen; what passes between them is guarded by `lock`.
struct MediaGraph::Impl {
    explicit Impl(const IMediaClock& c) : clock(c) {}
    ~Impl() { StopDecodeThread(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    const IMediaClock& clock;

    // ---- fixed once connected ----
    ff::FormatPtr pFormat;
    ff::CodecPtr pCodec;
    AVStream* pStream = nullptr;
    int nStreamIndex = -1;
    bool bConnected = false;
    dib::BitmapInfoHeader header;  // of the upright picture
    int nQuarterTurns = 0;         // clockwise, to show the decoded picture upright
    AVRational sar{0, 1};          // of the upright picture's pixels
    int64_t llOrigin = 0;          // timestamp of the first frame, in the stream's time base
    int64_t llFrameUnits = kMediaUnitsPerSecond / 30;
    AVRational frameRate{30, 1};  // the grid frames are timed on, where they are
    // How long after its time in the file's index a key frame is shown, in the stream's time
    // base: an index may time key frames by their decoding (MP4's with B-frames does).
    int64_t llIndexDelay = 0;
    // How long after its showing time a frame is timed, in the stream's time base: a file
    // without showing times (AVI) times each frame by the packet that completed it, which
    // the decoder's reorder delay puts that many packets late.
    int64_t llDecodeDelay = 0;
    // Where the first frame is shown on the file's clock: its timestamp less that delay.
    int64_t FirstFrameTime() const { return llOrigin - llDecodeDelay; }

    // ---- the decode thread's ----
    ff::PacketPtr pPacket{av_packet_alloc()};
    PictureConverter converter;
    bool bInputEnded = false;
    struct {
        int64_t pts = AV_NOPTS_VALUE;
        int64_t dts = AV_NOPTS_VALUE;
        bool bSeen = false;
    } firstPacket;  // of the video stream, as read first
    bool bDecoderDrained = false;
    int64_t nUndecodedPending = 0;  // frames the decoder failed on since it last gave one
    int nLastDecodeError = 0;       // FFmpeg's code for the decoder's last failure
    // The demuxer adds to the stream's index as it reads; the caller's seek decision reads
    // the index too.
    std::mutex demuxLock;

    // ---- shared, under `lock` ----
    std::mutex lock;
    std::condition_variable workWanted;  // the decode thread waits for room or a seek
    std::condition_variable frameReady;  // the caller waits for the frame it needs
    std::deque<DecodedFrame> ahead;      // decoded, in presentation order, not yet shown
    std::vector<std::vector<uint8_t>> spareBuffers;  // 24-bit buffers to reuse
    bool bEnded = false;                             // no frame after the last in `ahead`
    bool bSeekWanted = false;
    int64_t llSeekTarget = 0;
    uint64_t nGeneration = 0;  // counts seeks: frames of an older one are dropped
    bool bQuit = false;
    bool bCopiesAhead = true;         // the decode thread makes each frame's 24-bit copy
    int64_t llDuration = 0;           // 100 ns units relative to the first video frame
    bool bDurationEstimated = false;  // from bit rate or sparse timestamps, not the container
    int64_t llLastStart = -1;         // the newest frame start decoded so far
    int64_t llDecoded = 0;
    int64_t llSeeks = 0;
    std::set<int64_t> undecoded;  // the starts of frames that did not decode
    std::thread decodeThread;

    // ---- the caller's ----
    PositionModel position{clock, [this](int64_t llPos) { return DurationSeenFrom(llPos); }};
    DecodedFrame cur;  // the newest frame whose start is not after the last target
    bool bHaveCur = false;
    ff::FramePtr pCopied{av_frame_alloc()};  // a reference to the picture last copied out
    const DecodedPicture copiedPicture{pCopied.get()};  // what CopiedPicture lends out
    bool bKeepCopied = false;
    // The picture of the frame last selected. While it is `cur`'s, a copy takes `cur`'s 24-bit
    // copy when the decode thread made one; otherwise the caller's own converter makes it.
    ff::FramePtr pSelected{av_frame_alloc()};
    std::vector<uint8_t> selectedBgr;
    PictureConverter callerConverter;
    // The frames shown before `cur`, oldest first, while frames are kept behind: with `cur`
    // and `ahead` one unbroken run of the decoder's, so a step back takes the frame before
    // from here without decoding. Decoded pictures only (their 24-bit copies are dropped),
    // at most nBehindBudget bytes of them.
    std::deque<DecodedFrame> behind;
    size_t nBehindBudget = 0;
    size_t nBehindBytes = 0;

    // An estimated end is checked by decoding once a position reaches it: frames found
    // beyond it move the end on, running out of frames fixes it.
    int64_t DurationSeenFrom(int64_t llPos);

    // How far before a frame's start a position still counts as that frame's.
    int64_t Tolerance() const { return std::min<int64_t>(kRoundingTolerance, llFrameUnits / 2); }

    // The 24-bit copy of the selected frame into pDst. Caller's thread.
    CopyResult CopySelected(uint8_t* pDst, size_t nBytes);
    // Makes `cur` the newest frame whose start is not after llTarget, waiting for the decode
    // thread (and asking it to seek) as needed. Caller's thread.
    void DecodeTo(int64_t llTarget);
    // The start of the frame after `cur`, waiting for the decode thread; -1 after the last.
    int64_t NextStart();
    // Whether the frame for llTarget is in the run decoded around `cur` (behind it, or ready
    // ahead of it). Under `lock`.
    bool InRun(int64_t llTarget) const;
    // Moves `cur` back through the frames behind to the one for llTarget. Under `lock`.
    void StepBackTo(int64_t llTarget);
    // Keeps `cur`, about to be replaced by the frame after it, behind it (or recycles it),
    // dropping the oldest beyond the budget. Under `lock`.
    void PassOver(DecodedFrame& frame);
    // Lets go of the oldest frames kept behind until they fit the budget. Under `lock`.
    void TrimBehind();
    // Recycles every frame kept behind. Under `lock`.
    void DropBehind();
    // Whether reaching llTarget takes a seek, from `cur` and the newest frame decoded (its
    // start llNewest, read under `lock`). Caller's thread.
    bool ShouldSeek(int64_t llTarget, int64_t llNewest);

    // The decode thread: keeps FramesAhead() frames ready, seeks when asked.
    void StartDecodeThread();
    void StopDecodeThread();
    void DecodeLoop();
    // Decodes the next frame, with its 24-bit copy; false at the end of the stream.
    bool DecodeFrame(DecodedFrame& out, bool bCopy);
    // A decoded frame's start and, when copies are made ahead, its 24-bit copy (the
    // converter's thread only).
    void MakeCopy(DecodedFrame& frame, bool bCopy);
    // Keeps a frame's 24-bit buffer for the next frame. Under `lock`.
    void Recycle(DecodedFrame& frame);
    // Seeks so that decoding starts at or before llTarget and decodes the first frame. Demuxers
    // without an index may land late, or past the last frame; then it tries again further
    // back, at last from the start.
    bool SeekAndDecode(int64_t llTarget, DecodedFrame& out, bool bCopy);
    void SeekBefore(int64_t llTarget);
    int64_t FrameStart(const AVFrame* pFrame) const;
    // Decodes the next frame in presentation order into pFrame; false at the end of the
    // stream or when the decoder cannot go on.
    bool DecodeOne(AVFrame* pFrame);
    // Sends the next packet of our stream to the decoder, or the end-of-stream signal; a
    // packet the decoder refuses counts as a frame that did not decode.
    void FeedPacket();
    // Notes the frames counted as not decoded since the last one given, before the frame at
    // llNextStart (kUntimed: none follows). Under no lock.
    void NoteUndecodable(int64_t llNextStart);
    // The end of the video is the end of its last frame, which a truncated file reveals only
    // when decoding runs out. Under `lock`.
    void NoteEndOfFrames();
    // The end of the frame that starts at llStart: the next point of the frame grid (a start
    // rounded to the container's milliseconds lies a little after its point), or a frame
    // interval on.
    int64_t FrameEnd(int64_t llStart) const;
    // A 24-bit buffer for one frame, reused when one is spare.
    std::vector<uint8_t> TakeBuffer();
    size_t BufferBytes() const { return header.biSizeImage; }
    // Frames decoded ahead: kFramesAhead, fewer for pictures so large that their copies
    // would cost more memory than the decoder's own (4K: one).
    size_t FramesAhead() const {
        constexpr size_t kBudget = 48u << 20;
        return std::clamp<size_t>(kBudget / std::max<size_t>(BufferBytes(), 1), 1, kFramesAhead);
    }

    // Finds the video stream and its decoder; false, saying why in *pWhy, when there is none.
    bool OpenVideo(OpenFailure* pWhy);
    void WorkOutTimes(const AVFrame* pFirst);
    // The decoder's reorder delay, when the first frame is timed by decoding alone.
    void WorkOutDecodeDelay(const AVFrame* pFirst);
    // The index's delay, from the first packet: when its index entry has its decoding time,
    // the key frames are shown that long after their index times (a constant reorder delay).
    void WorkOutIndexDelay();
    // Positions and the index's times, its delay accounted for.
    int64_t IndexTimeAt(int64_t llPosition) const;
    int64_t PositionOfIndexTime(int64_t ts) const;
    // Decodes the first frame: it fixes the format and the time origin, and proves that
    // the stream can be decoded at all. False, saying why in *pWhy, when it cannot be.
    bool Connect(int nThreads, OpenFailure* pWhy);
    void UseContainerDuration();
    // A length no header gives, guessed from the file's last packets (still an estimate).
    void EstimateUnknownEnd(const std::string& strPath);
};

}  // namespace platform
