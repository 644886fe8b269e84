// The caller's side of the decode thread: which decoded frame is on screen for a position,
// taken from the frames the thread has ready; the caller waits only when the frame it needs
// is not decoded yet, and asks for a seek only for a backward or far jump.
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
        if (!bDurationEstimated || llLastStart + llFrameUnits <= llDuration) {
            return llDuration;
        }
        llDuration = llLastStart + llFrameUnits;
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

bool MediaGraph::Impl::ShouldSeek(int64_t llTarget) {
    if (!bHaveCur || llTarget < cur.llStart) {
        return true;
    }
    if (llTarget - cur.llStart <= kNearJump) {
        return false;
    }
    const int64_t ts = av_rescale_q(llTarget, kUnitBase, pStream->time_base) + llOrigin;
    const std::lock_guard<std::mutex> guard(demuxLock);
    const int nIndex = av_index_search_timestamp(pStream, ts, AVSEEK_FLAG_BACKWARD);
    if (nIndex >= 0) {
        const AVIndexEntry* pEntry = avformat_index_get_entry(pStream, nIndex);
        if (pEntry != nullptr) {
            const int64_t llKey =
                av_rescale_q(pEntry->timestamp - llOrigin, pStream->time_base, kUnitBase);
            return llKey > cur.llStart;
        }
    }
    return llTarget - cur.llStart > kFarJumpWithoutIndex;
}

void MediaGraph::Impl::DecodeTo(int64_t llTarget) {
    const bool bSeek = ShouldSeek(llTarget);
    std::unique_lock<std::mutex> held(lock);
    if (bSeek) {
        // Frames decoded for the old place are of no use; the buffers are.
        for (DecodedFrame& frame : ahead) {
            Recycle(frame);
        }
        ahead.clear();
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
            Recycle(cur);
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
