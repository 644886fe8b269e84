#include "platform/ffmpeg/stream_end.h"

#include <algorithm>

#include "platform/ffmpeg/ffmpeg_ptr.h"

namespace platform {
namespace {

// Enough of the tail for several seconds of HD, and bounded: a guess, not a scan.
constexpr int64_t kTailBytes = 4 << 20;
constexpr int kMaxPackets = 20'000;

}  // namespace

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

}  // namespace platform
