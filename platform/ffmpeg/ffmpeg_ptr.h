#pragma once
// Owning handles for FFmpeg objects. Include only from implementation files.
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace platform::ff {

// An input opened by avformat_open_input.
struct FormatCloser {
    void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};
// An output made by avformat_alloc_output_context2: its file, if still open, is closed
// (without a trailer: an output is completed by writing one first), then the context freed.
struct OutputFormatCloser {
    void operator()(AVFormatContext* p) const {
        if (p->pb != nullptr && (p->oformat->flags & AVFMT_NOFILE) == 0) {
            avio_closep(&p->pb);
        }
        avformat_free_context(p);
    }
};
struct CodecFreer {
    void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* p) const { av_frame_free(&p); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsFreer {
    void operator()(SwsContext* p) const { sws_freeContext(p); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFreer>;

}  // namespace platform::ff
