// When the stream's frames are shown and where it ends: the time origin, the frame grid, the
// decoder's and the index's delays, and the length, from the headers or the file's tail.
#include <algorithm>

#include "platform/ffmpeg/media_graph_impl.h"

namespace platform {
namespace {

// Enough of the tail for several seconds of HD, and bounded: a guess, not a scan.
constexpr int64_t kTailBytes = 4 << 20;
constexpr int kMaxPackets = 20'000;

// The end (timestamp plus duration, in the stream's time base) of the last packet of stream
// nStreamIndex within the file's last few megabytes, or AV_NOPTS_VALUE when none is found
// there or the file cannot be read so.
int64_t LastPacketEnd(const std::string& strPath, int nStreamIndex) {
    AVFormatContext* pRaw = nullptr;
    if (avformat_open_input(&pRaw, strPath.c_str(), nullptr, nullptr) < 0) {
        return AV_NOPTS_VALUE;
    }
    const ff::FormatPtr pFormat(pRaw);
    const int64_t llSize = avio_size(pFormat->pb);
    if (nStreamIndex < 0 || nStreamIndex >= static_cast<int>(pFormat->nb_streams) || llSize <= 0 ||
        av_seek_frame(pFormat.get(), -1, std::max<int64_t>(llSize - kTailBytes, 0),
                      AVSEEK_FLAG_BYTE) < 0) {
        return AV_NOPTS_VALUE;
    }
    const ff::PacketPtr pPacket(av_packet_alloc());
    int64_t llEnd = AV_NOPTS_VALUE;
    for (int n = 0; pPacket && n < kMaxPackets && av_read_frame(pFormat.get(), pPacket.get()) >= 0;
         ++n) {
        const int64_t ts = pPacket->pts != AV_NOPTS_VALUE ? pPacket->pts : pPacket->dts;
        if (pPacket->stream_index == nStreamIndex && ts != AV_NOPTS_VALUE) {
            const int64_t llPacketEnd = ts + std::max<int64_t>(pPacket->duration, 0);
            llEnd = llEnd == AV_NOPTS_VALUE ? llPacketEnd : std::max(llEnd, llPacketEnd);
        }
        av_packet_unref(pPacket.get());
    }
    return llEnd;
}

}  // namespace

void MediaGraph::Impl::WorkOutTimes(const AVFrame* pFirst) {
    AVRational rate = av_guess_frame_rate(pFormat.get(), pStream, nullptr);
    if (rate.num <= 0 || rate.den <= 0) {
        rate = AVRational{30, 1};
    }
    llFrameUnits = av_rescale_q(1, av_inv_q(rate), kUnitBase);
    frameRate = rate;
    position.SetFrameGrid(rate.num, rate.den, Tolerance());

    int64_t ts = pFirst->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) {
        ts = pStream->start_time != AV_NOPTS_VALUE ? pStream->start_time : 0;
    }
    llOrigin = ts;
    WorkOutDecodeDelay(pFirst);
    const int64_t llShown = FirstFrameTime();

    llDuration = kUnknownDuration;
    if (pStream->duration != AV_NOPTS_VALUE && pStream->duration > 0) {
        const int64_t llStreamStart =
            pStream->start_time != AV_NOPTS_VALUE ? pStream->start_time : llShown;
        llDuration = av_rescale_q(llStreamStart + pStream->duration - llShown, pStream->time_base,
                                  kUnitBase);
    } else if (pFormat->duration != AV_NOPTS_VALUE && pFormat->duration > 0) {
        const int64_t llFormatStart =
            pFormat->start_time != AV_NOPTS_VALUE ? pFormat->start_time : 0;
        const int64_t llOriginUs = av_rescale_q(llShown, pStream->time_base, AV_TIME_BASE_Q);
        llDuration =
            av_rescale_q(llFormatStart + pFormat->duration - llOriginUs, AV_TIME_BASE_Q, kUnitBase);
    } else if (pStream->nb_frames > 0) {
        llDuration = pStream->nb_frames * llFrameUnits;
    }
    llDuration = std::max<int64_t>(llDuration, 0);
    // A stream timed in frames whose header counts more frames than its length holds is cut
    // short (a truncated AVI: the length is what a scan found): its end is found by decoding.
    const bool bCutShort = pStream->duration > 0 && pStream->nb_frames > pStream->duration;
    bDurationEstimated = pFormat->duration_estimation_method != AVFMT_DURATION_FROM_STREAM ||
                         llDuration == kUnknownDuration || bCutShort;
}
void MediaGraph::Impl::WorkOutDecodeDelay(const AVFrame* pFirst) {
    const int64_t ts = pFirst->best_effort_timestamp;
    if (pFirst->pts == AV_NOPTS_VALUE && firstPacket.pts == AV_NOPTS_VALUE &&
        firstPacket.dts != AV_NOPTS_VALUE && ts != AV_NOPTS_VALUE && ts > firstPacket.dts) {
        llDecodeDelay = ts - firstPacket.dts;
    }
}

void MediaGraph::Impl::WorkOutIndexDelay() {
    if (llDecodeDelay > 0) {
        llIndexDelay = llDecodeDelay;  // the index has the packets' times: decoding times
        return;
    }
    const int64_t pts = firstPacket.pts;
    const int64_t dts = firstPacket.dts;
    const AVIndexEntry* pEntry = avformat_index_get_entry(pStream, 0);
    if (pts != AV_NOPTS_VALUE && dts != AV_NOPTS_VALUE && dts < pts && pEntry != nullptr &&
        pEntry->timestamp == dts) {
        llIndexDelay = pts - dts;
    }
}

int64_t MediaGraph::Impl::IndexTimeAt(int64_t llPosition) const {
    return av_rescale_q(llPosition, kUnitBase, pStream->time_base) + llOrigin - llIndexDelay;
}

int64_t MediaGraph::Impl::PositionOfIndexTime(int64_t ts) const {
    return av_rescale_q(ts + llIndexDelay - llOrigin, pStream->time_base, kUnitBase);
}

void MediaGraph::Impl::EstimateUnknownEnd(const std::string& strPath) {
    if (llDuration != kUnknownDuration) {
        return;
    }
    // A live recording's WebM or Matroska says no length anywhere: the last packet's end is
    // a close guess, which decoding confirms once a position reaches it.
    const int64_t llEnd = LastPacketEnd(strPath, nStreamIndex);
    if (llEnd != AV_NOPTS_VALUE && llEnd > FirstFrameTime()) {
        llDuration = av_rescale_q(llEnd - FirstFrameTime(), pStream->time_base, kUnitBase);
        bDurationEstimated = true;
    }
}

void MediaGraph::Impl::UseContainerDuration() {
    llDuration = 0;
    if (pFormat->duration != AV_NOPTS_VALUE && pFormat->duration > 0) {
        llDuration = av_rescale_q(pFormat->duration, AV_TIME_BASE_Q, kUnitBase);
    }
}

}  // namespace platform
