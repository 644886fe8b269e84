// The decode cursor: the frames of the video stream in presentation order, decoded forward
// from the last one; only a backward or far jump seeks (to the key frame before the target).
#include "platform/ffmpeg/media_graph_impl.h"

namespace platform {

int64_t MediaGraph::Impl::FrameStart(const AVFrame* pFrame) {
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
bool MediaGraph::Impl::DecodeOne(AVFrame* pFrame) {
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
bool MediaGraph::Impl::FeedPacket() {
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
void MediaGraph::Impl::NoteEndOfFrames() {
    if (llLastStart >= 0) {
        const int64_t llEnd = llLastStart + llFrameUnits;
        llDuration = bDurationEstimated ? llEnd : std::min(llDuration, llEnd);
        bDurationEstimated = false;
    }
}

bool MediaGraph::Impl::ShouldSeek(int64_t llTarget) const {
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

void MediaGraph::Impl::SeekBefore(int64_t llTarget) {
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
bool MediaGraph::Impl::DecodeNext() {
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
void MediaGraph::Impl::SeekAndPrime(int64_t llTarget) {
    for (const int64_t llBack : {0LL, 1LL, 4LL, 16LL, -1LL}) {
        const int64_t llSeekTo = llBack < 0 ? 0 : llTarget - llBack * kUnitsPerSecond;
        SeekBefore(llSeekTo);
        if ((DecodeNext() && llNextStart <= llTarget) || llSeekTo <= 0) {
            return;
        }
    }
}

// Makes pCur the newest frame whose start is not after llTarget.
void MediaGraph::Impl::DecodeTo(int64_t llTarget) {
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

}  // namespace platform
