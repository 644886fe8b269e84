#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/debug_output.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/ffmpeg_setup.h"
#include "platform/ffmpeg/picture_converter.h"
#include "platform/media_graph.h"
#include "platform/position_model.h"

namespace platform {
namespace {

constexpr int64_t kUnitsPerSecond = 10'000'000;
constexpr AVRational kUnitBase{1, static_cast<int>(kUnitsPerSecond)};
// A forward jump shorter than this always decodes on; seeking is for far jumps.
constexpr int64_t kNearJump = kUnitsPerSecond;
// Without an index we cannot tell where key frames are; beyond this a seek pays off.
constexpr int64_t kFarJumpWithoutIndex = 5 * kUnitsPerSecond;
// Decoders that keep failing on a broken stream are given up on after this many errors.
constexpr int kMaxConsecutiveErrors = 256;
constexpr int kMaxFrameSide = 16384;
constexpr int64_t kUnknownDuration = std::numeric_limits<int64_t>::max() / 4;
// How far before a frame's start a position may lie and still read as that start: 1 ms.
constexpr int64_t kRoundingTolerance = 10'000;

// FFmpeg's reason for a failure, for developers (QUOVEL_DEBUG).
void ReportFailure(const char* pszWhat, int nError) {
    char szReason[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(nError, szReason, sizeof(szReason));
    DebugOutput((std::string("media: ") + pszWhat + ": " + szReason).c_str());
}

bool IsRegularFile(const std::string& strPath) {
    struct stat st {};
    return ::stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

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
    int64_t DurationSeenFrom(int64_t llPos) {
        while (bDurationEstimated && bConnected && !bDecoderDrained &&
               llPos + llFrameUnits / 2 >= llDuration) {
            DecodeTo(llDuration + llFrameUnits / 2);
            if (!bDurationEstimated || llLastStart + llFrameUnits <= llDuration) {
                break;
            }
            llDuration = llLastStart + llFrameUnits;
        }
        return llDuration;
    }

    // How far before a frame's start a position still counts as that frame's.
    int64_t Tolerance() const { return std::min<int64_t>(kRoundingTolerance, llFrameUnits / 2); }

    int64_t FrameStart(const AVFrame* pFrame) {
        int64_t ts = pFrame->best_effort_timestamp;
        if (ts == AV_NOPTS_VALUE) {
            ts = pFrame->pts;
        }
        if (ts == AV_NOPTS_VALUE) {
            ts = pFrame->pkt_dts;
        }
        if (ts == AV_NOPTS_VALUE) {
            return llLastStart < 0 ? 0 : llLastStart + llFrameUnits;
        }
        return av_rescale_q(ts - llOrigin, pStream->time_base, kUnitBase);
    }

    // Decodes the next frame in presentation order into pFrame; false at the end of the
    // stream or when the decoder cannot go on.
    bool DecodeOne(AVFrame* pFrame) {
        int nErrors = 0;
        while (!bDecoderDrained) {
            const int nRecv = avcodec_receive_frame(pCodec.get(), pFrame);
            if (nRecv == 0) {
                ++llDecoded;
                return true;
            }
            if (nRecv == AVERROR_EOF) {
                bDecoderDrained = true;
                break;
            }
            if (nRecv != AVERROR(EAGAIN)) {
                if (++nErrors > kMaxConsecutiveErrors) {
                    bDecoderDrained = true;
                }
                continue;
            }
            if (bInputEnded) {  // the decoder wants input we do not have
                bDecoderDrained = true;
                break;
            }
            if (!FeedPacket() && ++nErrors > kMaxConsecutiveErrors) {
                bDecoderDrained = true;
            }
        }
        return false;
    }

    // Sends the next packet of our stream to the decoder, or the end-of-stream signal.
    bool FeedPacket() {
        for (;;) {
            if (av_read_frame(pFormat.get(), pPacket.get()) < 0) {
                bInputEnded = true;
                avcodec_send_packet(pCodec.get(), nullptr);
                return true;
            }
            if (pPacket->stream_index != nStreamIndex) {
                av_packet_unref(pPacket.get());
                continue;
            }
            const int nSent = avcodec_send_packet(pCodec.get(), pPacket.get());
            av_packet_unref(pPacket.get());
            return nSent >= 0;
        }
    }

    // The end of the video is the end of its last frame, which a truncated file reveals only
    // when decoding runs out.
    void NoteEndOfFrames() {
        if (llLastStart >= 0) {
            const int64_t llEnd = llLastStart + llFrameUnits;
            llDuration = bDurationEstimated ? llEnd : std::min(llDuration, llEnd);
            bDurationEstimated = false;
        }
    }

    bool ShouldSeek(int64_t llTarget) const {
        if (!bHaveCur || llTarget < llCurStart) {
            return true;
        }
        if (llTarget - llCurStart <= kNearJump) {
            return false;
        }
        const int64_t ts = av_rescale_q(llTarget, kUnitBase, pStream->time_base) + llOrigin;
        const int nIndex = av_index_search_timestamp(pStream, ts, AVSEEK_FLAG_BACKWARD);
        if (nIndex >= 0) {
            const AVIndexEntry* pEntry = avformat_index_get_entry(pStream, nIndex);
            if (pEntry != nullptr) {
                const int64_t llKey =
                    av_rescale_q(pEntry->timestamp - llOrigin, pStream->time_base, kUnitBase);
                return llKey > llCurStart;
            }
        }
        return llTarget - llCurStart > kFarJumpWithoutIndex;
    }

    void SeekBefore(int64_t llTarget) {
        ++llSeeks;
        const int64_t ts = av_rescale_q_rnd(std::max<int64_t>(llTarget, 0), kUnitBase,
                                            pStream->time_base, AV_ROUND_DOWN) +
                           llOrigin;
        if (av_seek_frame(pFormat.get(), nStreamIndex, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(pFormat.get(), nStreamIndex, llOrigin, AVSEEK_FLAG_BACKWARD) < 0) {
            av_seek_frame(pFormat.get(), -1, 0, AVSEEK_FLAG_BYTE);
        }
        avcodec_flush_buffers(pCodec.get());
        bInputEnded = false;
        bDecoderDrained = false;
        bHaveCur = false;
        bHaveNext = false;
        av_frame_unref(pCur.get());
        av_frame_unref(pNext.get());
        llLastStart = -1;
    }

    // Decodes the next frame into pNext; false when the stream has no more.
    bool DecodeNext() {
        if (!DecodeOne(pSpare.get())) {
            NoteEndOfFrames();
            return false;
        }
        const int64_t llStart = FrameStart(pSpare.get());
        llLastStart = std::max(llLastStart, llStart);
        av_frame_unref(pNext.get());
        std::swap(pNext, pSpare);
        llNextStart = llStart;
        bHaveNext = true;
        return true;
    }

    // Seeks so that decoding starts at or before llTarget. Demuxers without an index may land
    // late, or past the last frame; then it tries again further back, at last from the start.
    void SeekAndPrime(int64_t llTarget) {
        for (const int64_t llBack : {0LL, 1LL, 4LL, 16LL, -1LL}) {
            const int64_t llSeekTo = llBack < 0 ? 0 : llTarget - llBack * kUnitsPerSecond;
            SeekBefore(llSeekTo);
            if ((DecodeNext() && llNextStart <= llTarget) || llSeekTo <= 0) {
                return;
            }
        }
    }

    // Makes pCur the newest frame whose start is not after llTarget.
    void DecodeTo(int64_t llTarget) {
        if (bHaveCur && llTarget >= llCurStart &&
            (bHaveNext ? llTarget < llNextStart : bDecoderDrained)) {
            return;
        }
        if (ShouldSeek(llTarget)) {
            SeekAndPrime(llTarget);
        }
        for (;;) {
            if (bHaveNext) {
                if (llNextStart > llTarget && bHaveCur) {
                    return;
                }
                std::swap(pCur, pNext);
                llCurStart = llNextStart;
                bHaveCur = true;
                bHaveNext = false;
                continue;
            }
            if (!DecodeNext()) {
                return;
            }
        }
    }

    // The current frame as the upright 24-bit picture of the header's size.
    bool ConvertCurrent(uint8_t* pDst, size_t nRowBytes) {
        return converter.Convert(*pCur, header, nQuarterTurns, pDst, nRowBytes);
    }

    bool OpenVideo() {
        nStreamIndex = av_find_best_stream(pFormat.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (nStreamIndex < 0) {
            return false;
        }
        pStream = pFormat->streams[nStreamIndex];
        const AVCodec* pDecoder = avcodec_find_decoder(pStream->codecpar->codec_id);
        if (pDecoder == nullptr) {
            return false;
        }
        pCodec.reset(avcodec_alloc_context3(pDecoder));
        return pCodec && avcodec_parameters_to_context(pCodec.get(), pStream->codecpar) >= 0;
    }

    void WorkOutTimes(const AVFrame* pFirst) {
        AVRational rate = av_guess_frame_rate(pFormat.get(), pStream, nullptr);
        if (rate.num <= 0 || rate.den <= 0) {
            rate = AVRational{30, 1};
        }
        llFrameUnits = av_rescale_q(1, av_inv_q(rate), kUnitBase);
        position.SetFrameGrid(rate.num, rate.den, Tolerance());

        int64_t ts = pFirst->best_effort_timestamp;
        if (ts == AV_NOPTS_VALUE) {
            ts = pStream->start_time != AV_NOPTS_VALUE ? pStream->start_time : 0;
        }
        llOrigin = ts;

        llDuration = kUnknownDuration;
        if (pStream->duration != AV_NOPTS_VALUE && pStream->duration > 0) {
            const int64_t llStreamStart =
                pStream->start_time != AV_NOPTS_VALUE ? pStream->start_time : llOrigin;
            llDuration = av_rescale_q(llStreamStart + pStream->duration - llOrigin,
                                      pStream->time_base, kUnitBase);
        } else if (pFormat->duration != AV_NOPTS_VALUE && pFormat->duration > 0) {
            const int64_t llFormatStart =
                pFormat->start_time != AV_NOPTS_VALUE ? pFormat->start_time : 0;
            const int64_t llOriginUs = av_rescale_q(llOrigin, pStream->time_base, AV_TIME_BASE_Q);
            llDuration = av_rescale_q(llFormatStart + pFormat->duration - llOriginUs,
                                      AV_TIME_BASE_Q, kUnitBase);
        } else if (pStream->nb_frames > 0) {
            llDuration = pStream->nb_frames * llFrameUnits;
        }
        llDuration = std::max<int64_t>(llDuration, 0);
        bDurationEstimated = pFormat->duration_estimation_method != AVFMT_DURATION_FROM_STREAM ||
                             llDuration == kUnknownDuration;
    }

    // Decodes the first frame: it fixes the format and the time origin, and proves that
    // the stream can be decoded at all.
    bool Connect(int nThreads) {
        if (!OpenVideo()) {
            return false;
        }
        pCodec->thread_count = nThreads;
        pCodec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        if (avcodec_open2(pCodec.get(), pCodec->codec, nullptr) < 0) {
            return false;
        }
        // Frames beyond this would need image blocks of gigabytes: refused, not allocated.
        if (!DecodeOne(pCur.get()) || pCur->width <= 0 || pCur->height <= 0 ||
            pCur->width > kMaxFrameSide || pCur->height > kMaxFrameSide) {
            return false;
        }
        nQuarterTurns = QuarterTurnsOf(pStream);
        sar = av_guess_sample_aspect_ratio(pFormat.get(), pStream, pCur.get());
        if (nQuarterTurns % 2 == 1 && sar.num > 0) {
            sar = av_inv_q(sar);  // a turned pixel is as tall as it was wide
        }
        header = nQuarterTurns % 2 == 1 ? dib::MakeHeader24(pCur->height, pCur->width)
                                        : dib::MakeHeader24(pCur->width, pCur->height);
        WorkOutTimes(pCur.get());
        llCurStart = FrameStart(pCur.get());
        llLastStart = llCurStart;
        bHaveCur = true;
        return true;
    }

    void UseContainerDuration() {
        llDuration = 0;
        if (pFormat->duration != AV_NOPTS_VALUE && pFormat->duration > 0) {
            llDuration = av_rescale_q(pFormat->duration, AV_TIME_BASE_Q, kUnitBase);
        }
    }
};

std::string MediaLibraryVersion() {
    return av_version_info();
}

std::unique_ptr<MediaGraph> MediaGraph::Open(const std::string& strPath, const IMediaClock& clock,
                                             const MediaGraphOptions& options) {
    if (!IsRegularFile(strPath)) {
        return nullptr;
    }
    SetUpFFmpegOnce();
    auto pImpl = std::make_unique<Impl>(clock);
    if (!pImpl->pPacket || !pImpl->pCur || !pImpl->pNext || !pImpl->pSpare || !pImpl->pCopied) {
        return nullptr;
    }
    AVFormatContext* pRaw = nullptr;
    if (const int nError = avformat_open_input(&pRaw, strPath.c_str(), nullptr, nullptr);
        nError < 0) {
        ReportFailure("cannot open the file", nError);
        return nullptr;
    }
    pImpl->pFormat.reset(pRaw);
    if (const int nError = avformat_find_stream_info(pImpl->pFormat.get(), nullptr); nError < 0) {
        ReportFailure("cannot read the streams", nError);
        return nullptr;
    }
    pImpl->bConnected = pImpl->Connect(options.nDecoderThreads);
    if (!pImpl->bConnected) {
        DebugOutput("media: no video stream that decodes");
        pImpl->pCodec.reset();
        pImpl->UseContainerDuration();
    }
    return std::unique_ptr<MediaGraph>(new MediaGraph(std::move(pImpl)));
}

MediaGraph::MediaGraph(std::unique_ptr<Impl> pImpl) : m_pImpl(std::move(pImpl)) {}
MediaGraph::~MediaGraph() = default;

bool MediaGraph::GetConnectedFormat(dib::BitmapInfoHeader& header) const {
    if (!m_pImpl->bConnected) {
        return false;
    }
    header = m_pImpl->header;
    return true;
}

bool MediaGraph::GetSampleAspectRatio(int& nNum, int& nDen) const {
    const AVRational sar = m_pImpl->sar;
    if (!m_pImpl->bConnected || sar.num <= 0 || sar.den <= 0 || sar.num == sar.den) {
        return false;
    }
    nNum = sar.num;
    nDen = sar.den;
    return true;
}

bool MediaGraph::GetDuration(int64_t& llDuration) const {
    llDuration = m_pImpl->position.Duration();
    return true;
}

bool MediaGraph::GetStopPosition(int64_t& llStop) const {
    llStop = m_pImpl->position.StopPosition();
    return true;
}

bool MediaGraph::GetCurrentPosition(int64_t& llPosition) const {
    llPosition = m_pImpl->position.Current();
    return true;
}

void MediaGraph::SetPositions(const int64_t* pllCurrent, const int64_t* pllStop) {
    m_pImpl->position.SetPositions(pllCurrent, pllStop);
}

void MediaGraph::Run() {
    m_pImpl->position.Run();
}

void MediaGraph::Pause() {
    m_pImpl->position.Pause();
}

void MediaGraph::Stop() {
    m_pImpl->position.Stop();
}

GraphState MediaGraph::GetState() const {
    return m_pImpl->position.State();
}

CopyResult MediaGraph::CopyCurrentFrame(uint8_t* pDst, size_t nBytes) {
    Impl& g = *m_pImpl;
    av_frame_unref(g.pCopied.get());
    if (!g.bConnected) {
        return CopyResult::NotConnected;
    }
    if (pDst == nullptr) {
        return CopyResult::Pointer;
    }
    if (nBytes < g.header.biSizeImage) {
        return CopyResult::InvalidArg;
    }
    int64_t llPosition = 0;
    GetCurrentPosition(llPosition);
    // The frame whose presentation interval contains the position is the one on screen.
    g.DecodeTo(llPosition + g.Tolerance());
    if (!g.bHaveCur) {
        return CopyResult::Failed;
    }
    if (!g.ConvertCurrent(pDst, dib::RowBytes24(g.header.biWidth))) {
        return CopyResult::Failed;
    }
    // A turned picture is no longer the decoded one: encoders take the 24-bit copy then.
    if (g.bKeepCopied && g.nQuarterTurns == 0 && av_frame_ref(g.pCopied.get(), g.pCur.get()) < 0) {
        av_frame_unref(g.pCopied.get());  // only the 24-bit copy is there to encode from
    }
    return CopyResult::Ok;
}

void MediaGraph::KeepCopiedPicture(bool bKeep) {
    m_pImpl->bKeepCopied = bKeep;
    if (!bKeep) {
        av_frame_unref(m_pImpl->pCopied.get());
    }
}

const AVFrame* MediaGraph::CopiedPicture() const {
    const AVFrame* pFrame = m_pImpl->pCopied.get();
    return pFrame->buf[0] != nullptr ? pFrame : nullptr;
}

int64_t MediaGraph::DecodedFrameCount() const {
    return m_pImpl->llDecoded;
}
int64_t MediaGraph::SeekCount() const {
    return m_pImpl->llSeeks;
}

}  // namespace platform
