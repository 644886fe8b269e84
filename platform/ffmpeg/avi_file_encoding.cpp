// The encoding thread of an AVI file being written: frames handed over are encoded and
// written, with the sound that plays until each ends, beside the caller's next fetch.
#include <algorithm>

#include "platform/ffmpeg/avi_file_impl.h"
#include "platform/stop_and_join.h"

namespace platform {

bool AviFile::Impl::Fail(int nCode) {
    const int nFileError = pFormat && pFormat->pb != nullptr ? pFormat->pb->error : 0;
    int nNone = 0;
    nError.compare_exchange_strong(nNone, nFileError != 0 ? nFileError : nCode);
    return false;
}

AviFile::Impl::~Impl() {
    StopEncoding();  // before the file it writes to closes with pFormat
}

bool AviFile::Impl::WritePacket(AVPacket* pOut) {
    // A packet's time base counts frames: the stream's, or the encoder's opened with it.
    const AVRational packetBase = pCodec ? pCodec->time_base : pStream->time_base;
    const int64_t llEndUs = av_rescale_q(pOut->pts + 1, packetBase, AV_TIME_BASE_Q);
    pOut->stream_index = pStream->index;
    av_packet_rescale_ts(pOut, packetBase, pStream->time_base);
    if (const int n = av_interleaved_write_frame(pFormat.get(), pOut);
        n < 0 || pFormat->pb->error != 0) {
        return Fail(n);
    }
    llPictureEndUs = std::max(llPictureEndUs, llEndUs);
    return !pSound || pSound->WriteUntil(llPictureEndUs, WriteSoundPacket());
}

SoundTrack::PacketWriter AviFile::Impl::WriteSoundPacket() {
    return [this](AVPacket* pSoundPacket) {
        return av_interleaved_write_frame(pFormat.get(), pSoundPacket) >= 0 ||
               pFormat->pb->error == 0 || Fail(0);
    };
}

void AviFile::Impl::EncodeLoop() {
    const size_t nRow = dib::RowBytes24(pStream->codecpar->width);
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        changed.wait(held, [this] { return bStopEncoding || !queue.empty(); });
        if (queue.empty()) {
            return;  // stopping, and everything handed over is encoded
        }
        PendingFrame frame = std::move(queue.front());
        queue.pop_front();
        bWorking = true;
        held.unlock();
        changed.notify_all();  // room for the caller
        if (frame.stage) {
            staged.resize(frame.dib.size());
            frame.stage(frame.dib.data(), staged.data());
            frame.dib.swap(staged);
        }
        bool bOk = false;
        if (!pCodec) {
            bOk = WriteRaw(frame.nPosition, frame.dib.data(), frame.dib.size());
        } else {
            // A frame made by a stage has no bytes to keep: the quicker conversion.
            AVFrame* pInput = frame.pPicture ? input.FromPicture(*frame.pPicture)
                                             : input.FromDib(frame.dib.data(), nRow, !!frame.stage);
            bOk = pInput != nullptr;
            if (bOk) {
                pInput->pts = frame.nPosition;
                const int n = avcodec_send_frame(pCodec.get(), pInput);
                bOk = (n >= 0 || Fail(n)) && Drain();
            }
        }
        held.lock();
        bWorking = false;
        if (!frame.dib.empty()) {
            spareDibs.push_back(std::move(frame.dib));
        }
        if (!bOk) {
            bEncodeFailed = true;
            changed.notify_all();
        }
    }
}

bool AviFile::Impl::WaitIdle() {
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [this] { return bEncodeFailed || (queue.empty() && !bWorking); });
    return !bEncodeFailed;
}

bool AviFile::Impl::WriteRaw(int64_t nPosition, const uint8_t* pFrame, size_t nBytes) {
    pPacket->data = const_cast<uint8_t*>(pFrame);  // written at once, not kept
    pPacket->size = static_cast<int>(nBytes);
    pPacket->pts = pPacket->dts = nPosition;
    pPacket->duration = 1;
    pPacket->flags = AV_PKT_FLAG_KEY;
    const bool bOk = WritePacket(pPacket.get());
    pPacket->data = nullptr;
    pPacket->size = 0;
    return bOk;
}

bool AviFile::Impl::Drain() {
    for (;;) {
        const int n = avcodec_receive_packet(pCodec.get(), pPacket.get());
        if (n == AVERROR(EAGAIN) || n == AVERROR_EOF) {
            return true;
        }
        if (n < 0 || !WritePacket(pPacket.get())) {
            av_packet_unref(pPacket.get());
            return n < 0 ? Fail(n) : false;
        }
    }
}

bool AviFile::Impl::Enqueue(int64_t nPosition, const uint8_t* pFrame, size_t nDibBytes,
                            const AVFrame* pSource, const FrameStage& stage) {
    PendingFrame frame;
    frame.nPosition = nPosition;
    frame.stage = stage;
    std::unique_lock<std::mutex> held(lock);
    if (bEncodeFailed) {
        return false;
    }
    if (!stage && pCodec && pSource != nullptr && input.Takes(*pSource)) {
        frame.pPicture.reset(av_frame_clone(pSource));
        if (!frame.pPicture) {
            return false;
        }
    } else {
        if (!spareDibs.empty()) {
            frame.dib = std::move(spareDibs.back());
            spareDibs.pop_back();
        }
        held.unlock();
        frame.dib.assign(pFrame, pFrame + nDibBytes);
        held.lock();
    }
    changed.wait(held, [this] { return bEncodeFailed || queue.size() < kFramesQueued; });
    if (bEncodeFailed) {
        return false;
    }
    queue.push_back(std::move(frame));
    changed.notify_all();
    return true;
}

void AviFile::Impl::StopEncoding() {
    StopAndJoin(encodeThread, lock, changed, bStopEncoding);
}

}  // namespace platform
