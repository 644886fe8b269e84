#pragma once
// A decoding graph for one video file: run / pause / stop, positions in 100 ns units
// counted from the first video frame, and a copy of the frame at the current position as
// 24-bit BGR, bottom row first, rows padded to 4 bytes.
//
// While running, the position is the start position plus the time elapsed on the given
// clock, capped at the stop position. A decode thread of the graph's own decodes forward
// from the last frame, up to kFramesAhead frames ahead of the one on screen with their 24-bit
// copies, so that a copy finds its frame ready; a copy whose frame is not decoded yet waits
// for it, so every copy is exact. Only a backward or far jump seeks. All calls are made
// from one thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/dib.h"
#include "platform/media_clock.h"

namespace platform {

// A decoded picture as the decoder left it (its own size and pixel format): opaque here, read
// by the AVI file's encoder.
struct DecodedPicture;

// The version of the media libraries decoding and encoding here (FFmpeg's).
std::string MediaLibraryVersion();

// A length no file has: what a stream of unknown length reports.
inline constexpr int64_t kUnknownLength = INT64_MAX / 4;

enum class TimeFormat { MediaTime, Frame, Sample, Field, Byte, None, Other };
enum class GraphState { Stopped, Paused, Running };
enum class CopyResult { Ok, InvalidArg, Pointer, NotConnected, Failed };

struct MediaGraphOptions {
    int nDecoderThreads = 0;  // threads inside the decoder; 0 lets FFmpeg choose
};

// Frames of the stream that did not decode (a damaged stretch): how many, and the starts of
// the first and the last of them (100 ns units). The frame before one stays on screen for it.
struct UndecodedFrames {
    int64_t nCount = 0;
    int64_t llFirst = -1;
    int64_t llLast = -1;
};

// Those of undecodable frames' starts (in order) that lie in [llFrom, llTo).
UndecodedFrames UndecodedBetween(const std::vector<int64_t>& starts, int64_t llFrom, int64_t llTo);

// How many decoded frames the graph keeps ready beyond the one on screen, at most (fewer
// for very large pictures).
inline constexpr size_t kFramesAhead = 3;

// Why a file did not open as a video that plays.
struct OpenFailure {
    enum class Kind {
        None,
        System,           // the system or FFmpeg refused it: strSystem says why
        Folder,           // the name is a folder's
        NotAFile,         // a device, a FIFO, a socket
        NoVideo,          // media, but without a video stream
        NoDecoder,        // a video stream of a format nothing here decodes (strCodec)
        TooManyPixels,    // more pixels than any picture may have (nWidth×nHeight)
        TooLittleMemory,  // more memory than is available (llNeededBytes, llAvailableBytes)
        Undecodable,      // its first frame does not decode (strSystem: FFmpeg's words, if any)
    };
    static OpenFailure Of(Kind kind, std::string strSystem = {}) {
        OpenFailure failure;
        failure.kind = kind;
        failure.strSystem = std::move(strSystem);
        return failure;
    }

    Kind kind = Kind::None;
    std::string strSystem;
    std::string strCodec;
    int nWidth = 0;
    int nHeight = 0;
    int64_t llNeededBytes = 0;
    int64_t llAvailableBytes = 0;
};

class MediaGraph {
  public:
    // Null when the file cannot be opened as media at all. A file that opens but has no
    // decodable video stream gives a graph that is not connected. Either way *pWhy, when
    // given, says why.
    static std::unique_ptr<MediaGraph> Open(const std::string& strPath, const IMediaClock& clock,
                                            const MediaGraphOptions& options = {},
                                            OpenFailure* pWhy = nullptr);
    ~MediaGraph();
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    // The format of the delivered frames; false when no video stream is connected.
    bool GetConnectedFormat(dib::BitmapInfoHeader& header) const;
    TimeFormat GetTimeFormat() const { return TimeFormat::MediaTime; }
    // The shape of the delivered pixels, width : height (of the upright picture); false when
    // they are square or the file does not say.
    bool GetSampleAspectRatio(int& nNum, int& nDen) const;

    bool GetDuration(int64_t& llDuration) const;
    // Where position 0 (the first video frame) is on the source's own clock, in
    // microseconds: what other streams of the file are timed against.
    int64_t OriginMicroseconds() const;
    bool GetStopPosition(int64_t& llStop) const;
    // The current position; within a millisecond (never more than half a frame) before a
    // frame's start it reads as that start, so rounding never shows the previous frame.
    bool GetCurrentPosition(int64_t& llPosition) const;
    // Null leaves a position unchanged. Positions are clamped to [0, duration].
    void SetPositions(const int64_t* pllCurrent, const int64_t* pllStop);

    void Run();
    void Pause();
    void Stop();
    GraphState GetState() const;

    // Copies the frame shown at the current position into pDst (nBytes of room).
    CopyResult CopyCurrentFrame(uint8_t* pDst, size_t nBytes);
    // The same in two steps, for a caller that may not need the 24-bit copy: Select moves to
    // the frame shown at the current position (its decoded picture is the copied picture
    // while kept); CopySelectedFrame makes the 24-bit copy of the last frame selected, however
    // the position has moved since. A failed selection leaves the one before selected.
    CopyResult SelectCurrentFrame();
    CopyResult CopySelectedFrame(uint8_t* pDst, size_t nBytes);
    // Moving frame by frame. The start of the frame selected last, or -1 when none is.
    int64_t SelectedFrameStart() const;
    // Whether the frame selected last is a key frame.
    bool SelectedIsKeyFrame() const;
    // The start of the frame after the one selected last (decoded if need be); -1 when that
    // one is the last, or none is selected.
    int64_t NextFrameStart();
    // Where the file's index has the nearest key frame after llFrom (bForward) or at or
    // before it; false when the index knows none there. Positions as everywhere.
    bool KeyFrameNear(int64_t llFrom, bool bForward, int64_t& llKey);
    // How far before a frame's start a position still reads as that start.
    int64_t RoundingTolerance() const;
    // The number of the frame starting at llStart, counted at the stream's nominal rate.
    int64_t FrameNumberAt(int64_t llStart) const;
    // The time per frame at that rate.
    int64_t NominalFrameTime() const;
    // Keeps up to nBytes of decoded pictures of the frames shown before the one on screen, so
    // that moving back among them decodes nothing; 0 (the default) keeps none and lets go of
    // those kept. They are the frames passed over since the last seek, the newest kept.
    void KeepFramesBehind(size_t nBytes);
    size_t FramesBehindBytes() const;
    // Whether the frame shown at llPosition is decoded already (kept behind, on screen or
    // ready ahead), so that moving there costs no decoding.
    bool HasFrameAt(int64_t llPosition);

    // Whether the decode thread makes each frame's 24-bit copy as it decodes (the default).
    // Without, a copy is made when asked for, on the caller's thread: for a caller that
    // seldom wants one.
    void MakeCopiesAhead(bool bAhead);
    // While kept (a conversion), the decoded picture the last copy was made from, or null
    // when that copy failed. It stays valid until the next copy; an encoder may take it
    // instead of the 24-bit copy and so spare two colour conversions.
    void KeepCopiedPicture(bool bKeep);
    const DecodedPicture* CopiedPicture() const;

    // The starts of the frames found undecodable so far, in order.
    std::vector<int64_t> UndecodedStarts() const;

    // Decoder work done so far, for benchmarks and tests of the decode-forward rule.
    int64_t DecodedFrameCount() const;
    int64_t SeekCount() const;

  private:
    struct Impl;
    explicit MediaGraph(std::unique_ptr<Impl> pImpl);
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace platform
