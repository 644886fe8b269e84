#pragma once
// The state of an AVI file being written, shared by its files: the file and stream steps
// (avi_file_ffmpeg.cpp) and the encoding thread that encodes and writes the frames
// (avi_file_encoding.cpp).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/avi_file.h"
#include "platform/ffmpeg/compressor_specs.h"
#include "platform/ffmpeg/encoder_input.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/sound_track.h"

namespace platform {

// Frames handed to the encoding thread and not yet encoded; the caller waits beyond this.
inline constexpr size_t kFramesQueued = 2;

// One frame on its way to the encoder: the decoded picture it can take as it is, or a copy of
// the 24-bit frame (the caller's buffer is refilled by the next fetch).
struct PendingFrame {
    int64_t nPosition = 0;
    ff::FramePtr pPicture;
    std::vector<uint8_t> dib;
    FrameStage stage;  // run on dib before it is encoded
};

struct AviFile::Impl {
    ff::OutputFormatPtr pFormat;  // completed by Finish; closed as it goes
    AVStream* pStream = nullptr;
    AviStreamInfo info;
    CompressorChoice choice;
    const CompressorSpec* pEntry = nullptr;
    ff::CodecPtr pCodec;
    EncoderInput input;
    ff::PacketPtr pPacket{av_packet_alloc()};
    bool bHeaderWritten = false;
    bool bFinished = false;
    bool bFailed = false;
    std::atomic<int> nError{0};  // FFmpeg's code for the first failure (written by either thread)

    // The encoding thread: preparing the encoder's input, encoding and writing run beside the
    // caller's next fetch. Started once the header is written; Finish joins it.
    std::thread encodeThread;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<PendingFrame> queue;
    std::vector<std::vector<uint8_t>> spareDibs;
    std::vector<uint8_t> staged;  // the encoding thread's: a stage's output
    bool bStopEncoding = false;
    bool bEncodeFailed = false;
    bool bWorking = false;  // the encoding thread has a frame out of the queue

    // The sound track, when there is one: written by whichever thread writes the picture.
    std::unique_ptr<SoundTrack> pSound;
    int64_t llPictureEndUs = 0;  // where the picture written so far ends

    // Notes the first failure's reason (the file's own error first: it says more); false.
    bool Fail(int nCode);

    ~Impl();
    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // One frame's packet; then the sound that plays until that frame ends, so that the two
    // are interleaved in the file.
    bool WritePacket(AVPacket* pOut);

    // A sound packet the muxer refuses (its time goes back: streams joined) is left out and
    // the sound goes on; only a write that fails fails the file.
    SoundTrack::PacketWriter WriteSoundPacket();

    void EncodeLoop();

    // Waits until every frame handed over is encoded and written, then ends the thread.
    void StopEncoding();

    // Waits until the encoding thread has written every frame handed over; false when one
    // failed.
    bool WaitIdle();

    // An uncompressed frame, written as it is (nBytes of it).
    bool WriteRaw(int64_t nPosition, const uint8_t* pFrame, size_t nBytes);

    // Hands one frame to the encoding thread; false when an earlier frame failed to encode or
    // be written, or this one cannot be kept.
    bool Enqueue(int64_t nPosition, const uint8_t* pFrame, size_t nDibBytes, const AVFrame* pSource,
                 const FrameStage& stage);

    // Writes every packet the encoder has ready; false when one fails.
    bool Drain();
};

}  // namespace platform
