// The caller's side of the decode thread: which decoded frame is on screen for a position,
// taken from the frames the thread has ready or, going back, from the frames kept behind; the
// caller waits only when the frame it needs is not decoded yet, and asks for a seek only for a
// far jump, or a backward one past the frames kept.
#include "platform/ffmpeg/media_graph_impl.h"

namespace platform {

int64_t MediaGraph::Impl::DurationSeenFrom(int64_t llPos) {
    for (;;) {
        int64_t llEnd = 0;
        {
            const std::lock_guard<std::mutex> guard(lock);
            if (!bDurationEstimated || !bConnected || bEnded ||
                llPos + llFrameUnits / 2 < llDuration) {
                return llDuration;
            }
            llEnd = llDuration;
        }
        DecodeTo(llEnd + llFrameUnits / 2);
        const std::lock_guard<std::mutex> guard(lock);
        const int64_t llLastEnd = FrameEnd(llLastStart);
        if (!bDurationEstimated || llLastEnd <= llDuration) {
            return llDuration;
        }
        llDuration = llLastEnd;
    }
}

int64_t MediaGraph::Impl::NextStart() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        if (!ahead.empty()) {
            return ahead.front().llStart;
        }
        if (bEnded) {
            return -1;
        }
        workWanted.notify_one();
        frameReady.wait(held);
    }
}

bool MediaGraph::Impl::ShouldSeek(int64_t llTarget, int64_t llNewest) {
    if (!bHaveCur || llTarget < cur.llStart) {
        return true;
    }
    // A frame decoded already comes after the target (the decoder went on past a damaged
    // stretch, say): the frame there is among those decoded, whatever the index says.
    if (llTarget < llNewest || llTarget - llNewest <= kNearJump) {
        return false;
    }
    const std::lock_guard<std::mutex> guard(demuxLock);
    const int nIndex =
        av_index_search_timestamp(pStream, IndexTimeAt(llTarget), AVSEEK_FLAG_BACKWARD);
    if (nIndex >= 0) {
        const AVIndexEntry* pEntry = avformat_index_get_entry(pStream, nIndex);
        if (pEntry != nullptr) {
            return PositionOfIndexTime(pEntry->timestamp) > llNewest;
        }
    }
    return llTarget - llNewest > kFarJumpWithoutIndex;
}

namespace {
size_t PictureBytes(const AVFrame* pFrame) {
    size_t nBytes = 0;
    for (const AVBufferRef* pBuf : pFrame->buf) {
        nBytes += pBuf != nullptr ? pBuf->size : 0;
    }
    return nBytes;
}
}  // namespace

bool MediaGraph::Impl::InRun(int64_t llTarget) const {
    if (!bHaveCur || llTarget < (behind.empty() ? cur.llStart : behind.front().llStart)) {
        return false;
    }
    // Which frame a target falls in is known once a frame after it is decoded.
    return llTarget < cur.llStart || (!ahead.empty() && ahead.back().llStart > llTarget) || bEnded;
}

void MediaGraph::Impl::StepBackTo(int64_t llTarget) {
    while (!behind.empty() && cur.llStart > llTarget) {
        ahead.push_front(std::move(cur));
        cur = std::move(behind.back());
        behind.pop_back();
        nBehindBytes -= PictureBytes(cur.pFrame.get());
    }
}

void MediaGraph::Impl::PassOver(DecodedFrame& frame) {
    Recycle(frame);  // a 24-bit copy is made again if the frame is shown again
    if (nBehindBudget == 0 || !frame.pFrame) {
        return;
    }
    frame.bgr.clear();
    frame.bCopied = false;
    frame.bConverted = false;
    nBehindBytes += PictureBytes(frame.pFrame.get());
    behind.push_back(std::move(frame));
    TrimBehind();
}

void MediaGraph::Impl::TrimBehind() {
    while (nBehindBytes > nBehindBudget && !behind.empty()) {
        nBehindBytes -= PictureBytes(behind.front().pFrame.get());
        behind.pop_front();
    }
}

void MediaGraph::Impl::DropBehind() {
    behind.clear();  // decoded pictures only: no 24-bit buffers to keep
    nBehindBytes = 0;
}

void MediaGraph::Impl::DecodeTo(int64_t llTarget) {
    int64_t llNewest = 0;  // the start of the newest frame decoded
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (bHaveCur && llTarget < cur.llStart && InRun(llTarget)) {
            StepBackTo(llTarget);
            return;
        }
        llNewest = ahead.empty() ? cur.llStart : ahead.back().llStart;
    }
    // (The decode thread only adds to `ahead` meanwhile: a frame past the target stays so.)
    const bool bSeek = ShouldSeek(llTarget, llNewest);
    std::unique_lock<std::mutex> held(lock);
    if (bSeek) {
        // Frames decoded for the old place are of no use; the buffers are.
        for (DecodedFrame& frame : ahead) {
            Recycle(frame);
        }
        ahead.clear();
        DropBehind();
        bEnded = false;
        bSeekWanted = true;
        llSeekTarget = llTarget;
        ++nGeneration;
        bHaveCur = false;
        workWanted.notify_one();
    }
    for (;;) {
        bool bTook = false;
        while (!ahead.empty() && (ahead.front().llStart <= llTarget || !bHaveCur)) {
            if (bHaveCur) {
                PassOver(cur);
            } else {
                Recycle(cur);
            }
            cur = std::move(ahead.front());
            ahead.pop_front();
            bHaveCur = true;
            bTook = true;
        }
        if (bTook) {
            workWanted.notify_one();  // room for more
        }
        if (!ahead.empty() || bEnded) {  // a seek asked for clears bEnded
            return;
        }
        frameReady.wait(held);
    }
}

}  // namespace platform
