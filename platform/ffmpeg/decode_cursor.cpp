// The decode thread: the frames of the video stream in presentation order, decoded forward
// from the last one with their 24-bit copies, up to kFramesAhead of them ready beyond the frame on
// screen; a seek (to the key frame before the target) only when the caller asks for one.
#include "platform/ffmpeg/media_graph_impl.h"
#include "platform/stop_and_join.h"

namespace platform {

void MediaGraph::Impl::StartDecodeThread() {
    decodeThread = std::thread([this] { DecodeLoop(); });
}

void MediaGraph::Impl::StopDecodeThread() {
    StopAndJoin(decodeThread, lock, workWanted, bQuit);
}

void MediaGraph::Impl::DecodeLoop() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        workWanted.wait(held, [this] {
            return bQuit || bSeekWanted || (!bEnded && ahead.size() < FramesAhead());
        });
        if (bQuit) {
            return;
        }
        const uint64_t nAskedIn = nGeneration;
        const bool bSeek = bSeekWanted;
        const int64_t llTarget = llSeekTarget;
        const bool bCopy = bCopiesAhead;
        bSeekWanted = false;
        held.unlock();

        DecodedFrame frame;
        const bool bGot = bSeek ? SeekAndDecode(llTarget, frame, bCopy) : DecodeFrame(frame, bCopy);

        held.lock();
        if (nGeneration != nAskedIn) {
            Recycle(frame);  // a seek was asked for meanwhile: this frame is of the old place
            continue;
        }
        if (bGot) {
            ++llDecoded;
            llLastStart = std::max(llLastStart, frame.llStart);
            ahead.push_back(std::move(frame));
        } else {
            NoteEndOfFrames();
            bEnded = true;
        }
        frameReady.notify_all();
    }
}

std::vector<uint8_t> MediaGraph::Impl::TakeBuffer() {
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (!spareBuffers.empty()) {
            std::vector<uint8_t> buffer = std::move(spareBuffers.back());
            spareBuffers.pop_back();
            return buffer;
        }
    }
    return std::vector<uint8_t>(BufferBytes());
}

void MediaGraph::Impl::Recycle(DecodedFrame& frame) {
    if (!frame.bgr.empty()) {
        spareBuffers.push_back(std::move(frame.bgr));
    }
}

void MediaGraph::Impl::MakeCopy(DecodedFrame& frame, bool bCopy) {
    frame.llStart = FrameStart(frame.pFrame.get());
    if (!bCopy) {
        return;
    }
    frame.bgr = TakeBuffer();
    frame.bCopied = true;
    frame.bConverted = converter.Convert(*frame.pFrame, header, nQuarterTurns, frame.bgr.data(),
                                         dib::RowBytes24(header.biWidth));
}

bool MediaGraph::Impl::DecodeFrame(DecodedFrame& out, bool bCopy) {
    out.pFrame.reset(av_frame_alloc());
    if (!out.pFrame || !DecodeOne(out.pFrame.get())) {
        return false;
    }
    MakeCopy(out, bCopy);
    return true;
}

int64_t MediaGraph::Impl::FrameStart(const AVFrame* pFrame) const {
    int64_t ts = pFrame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) {
        ts = pFrame->pts;
    }
    if (ts == AV_NOPTS_VALUE) {
        ts = pFrame->pkt_dts;
    }
    if (ts == AV_NOPTS_VALUE) {
        // The frame after the newest one; right after a seek, not known. Only this thread
        // writes the newest start: reading it here needs no lock.
        return llLastStart < 0 ? kUntimed : llLastStart + llFrameUnits;
    }
    return av_rescale_q(ts - llOrigin, pStream->time_base, kUnitBase);
}

bool MediaGraph::Impl::DecodeOne(AVFrame* pFrame) {
    int nStuck = 0;  // decoder errors since a packet last went in
    while (!bDecoderDrained) {
        const int nRecv = avcodec_receive_frame(pCodec.get(), pFrame);
        if (nRecv == 0) {
            if (nUndecodedPending > 0) {
                NoteUndecodable(FrameStart(pFrame));
            }
            return true;
        }
        if (nRecv == AVERROR_EOF) {
            bDecoderDrained = true;
            break;
        }
        if (nRecv != AVERROR(EAGAIN)) {
            nLastDecodeError = nRecv;
            ++nUndecodedPending;
            if (++nStuck > kMaxConsecutiveErrors) {
                bDecoderDrained = true;
            }
            continue;
        }
        if (bInputEnded) {  // the decoder wants input we do not have
            bDecoderDrained = true;
            break;
        }
        nStuck = 0;
        FeedPacket();
    }
    NoteUndecodable(kUntimed);
    return false;
}

void MediaGraph::Impl::FeedPacket() {
    for (;;) {
        int nRead = 0;
        {
            const std::lock_guard<std::mutex> guard(demuxLock);
            nRead = av_read_frame(pFormat.get(), pPacket.get());
        }
        if (nRead < 0) {
            bInputEnded = true;
            avcodec_send_packet(pCodec.get(), nullptr);
            return;
        }
        if (pPacket->stream_index != nStreamIndex) {
            av_packet_unref(pPacket.get());
            continue;
        }
        if (!firstPacket.bSeen) {
            firstPacket = {pPacket->pts, pPacket->dts, true};
        }
        const int nSent = avcodec_send_packet(pCodec.get(), pPacket.get());
        av_packet_unref(pPacket.get());
        if (nSent < 0 && nSent != AVERROR(EAGAIN)) {
            nLastDecodeError = nSent;
            ++nUndecodedPending;  // damaged: decoding goes on with the next packet
        }
        return;
    }
}

void MediaGraph::Impl::NoteUndecodable(int64_t llNextStart) {
    if (nUndecodedPending == 0) {
        return;
    }
    // A decoder with threads of its own tells of a failure a few packets late, so the
    // packets cannot say which frames failed. The frames come in showing order, though: those
    // that failed lie on the frame grid after the last one given, or before the next.
    const int64_t n = nUndecodedPending;
    nUndecodedPending = 0;
    const std::lock_guard<std::mutex> guard(lock);
    auto frames = [this](int64_t k) {
        return av_rescale(k, frameRate.den * kMediaUnitsPerSecond, frameRate.num);
    };
    for (int64_t k = 1; k <= n; ++k) {
        const int64_t llStart = llLastStart >= 0   ? llLastStart + frames(k)
                                : llNextStart >= 0 ? llNextStart - frames(n - k + 1)
                                                   : 0;
        undecoded.insert(std::max<int64_t>(llStart, 0));
    }
}

int64_t MediaGraph::Impl::FrameEnd(int64_t llStart) const {
    // The grid point after the one the start is on (within the tolerance).
    const int64_t k = av_rescale_rnd(llStart + Tolerance(), frameRate.num,
                                     frameRate.den * kMediaUnitsPerSecond, AV_ROUND_DOWN);
    const int64_t llNext =
        av_rescale_rnd(k + 1, frameRate.den * kMediaUnitsPerSecond, frameRate.num, AV_ROUND_UP);
    return llNext > llStart ? std::min(llNext, llStart + llFrameUnits) : llStart + llFrameUnits;
}

void MediaGraph::Impl::NoteEndOfFrames() {
    if (llLastStart >= 0) {
        const int64_t llEnd = FrameEnd(llLastStart);
        // The container's end holds the last frame on screen when it comes no more than a
        // second after the frame starts (a still's stated length); further off, the file was
        // cut short, and an estimate is only an estimate.
        const bool bHeld = !bDurationEstimated && llDuration > llEnd &&
                           llDuration <= llLastStart + kMediaUnitsPerSecond;
        llDuration =
            bHeld ? llDuration : (bDurationEstimated ? llEnd : std::min(llDuration, llEnd));
        bDurationEstimated = false;
    }
}

void MediaGraph::Impl::SeekBefore(int64_t llTarget) {
    const int64_t ts = av_rescale_q_rnd(std::max<int64_t>(llTarget, 0), kUnitBase,
                                        pStream->time_base, AV_ROUND_DOWN) +
                       llOrigin;
    {
        const std::lock_guard<std::mutex> guard(demuxLock);
        if (av_seek_frame(pFormat.get(), nStreamIndex, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(pFormat.get(), nStreamIndex, llOrigin, AVSEEK_FLAG_BACKWARD) < 0) {
            av_seek_frame(pFormat.get(), -1, 0, AVSEEK_FLAG_BYTE);
        }
    }
    avcodec_flush_buffers(pCodec.get());
    bInputEnded = false;
    bDecoderDrained = false;
    const std::lock_guard<std::mutex> guard(lock);
    ++llSeeks;
    llLastStart = -1;
}

bool MediaGraph::Impl::SeekAndDecode(int64_t llTarget, DecodedFrame& out, bool bCopy) {
    for (const int64_t llBack : {0LL, 1LL, 4LL, 16LL, -1LL}) {
        const int64_t llSeekTo = llBack < 0 ? 0 : llTarget - llBack * kMediaUnitsPerSecond;
        SeekBefore(llSeekTo);
        const bool bGot = DecodeFrame(out, bCopy);
        if (llSeekTo <= 0) {
            out.llStart = std::max<int64_t>(out.llStart, 0);  // untimed, it is the first
            return bGot;
        }
        // A frame without a time (the last ones of a file timed by decoding) cannot say
        // where the seek landed: further back.
        if (bGot && out.llStart != kUntimed && out.llStart <= llTarget) {
            return true;
        }
    }
    return false;
}

}  // namespace platform
