#include "platform/ffmpeg/sound_track.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/ffmpeg/ffmpeg_setup.h"
#include "platform/ffmpeg/sound_filters.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
}

namespace platform {
namespace {

// Codecs AVI players take as they are: the source's packets can go in unchanged.
bool IsCopyable(AVCodecID id) {
    switch (id) {
        case AV_CODEC_ID_MP3:
        case AV_CODEC_ID_MP2:
        case AV_CODEC_ID_AC3:
        case AV_CODEC_ID_PCM_U8:
        case AV_CODEC_ID_PCM_S16LE:
        case AV_CODEC_ID_PCM_S24LE:
            return true;
        default:
            return false;
    }
}

// The source's first audio stream, opened for reading; null when there is none.
ff::FormatPtr OpenSource(const std::string& strPath, int& nStream) {
    SetUpFFmpegOnce();
    AVFormatContext* pRaw = nullptr;
    if (avformat_open_input(&pRaw, strPath.c_str(), nullptr, nullptr) < 0) {
        return nullptr;
    }
    ff::FormatPtr pIn(pRaw);
    if (avformat_find_stream_info(pIn.get(), nullptr) < 0) {
        return nullptr;
    }
    nStream = av_find_best_stream(pIn.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    return nStream >= 0 ? std::move(pIn) : nullptr;
}

}  // namespace

SoundSource ProbeSound(const std::string& strPath) {
    int nStream = -1;
    ff::FormatPtr pIn = OpenSource(strPath, nStream);
    SoundSource source;
    if (!pIn) {
        return source;
    }
    const AVCodecParameters* par = pIn->streams[nStream]->codecpar;
    source.bHasSound = avcodec_find_decoder(par->codec_id) != nullptr && par->sample_rate > 0;
    source.bCopyable = source.bHasSound && IsCopyable(par->codec_id);
    return source;
}

struct SoundTrack::Impl {
    SoundPlan plan;
    ff::FormatPtr pIn;
    AVStream* pInStream = nullptr;
    AVStream* pOutStream = nullptr;
    ff::CodecPtr pDecoder;
    ff::CodecPtr pEncoder;
    std::unique_ptr<SoundFilters> pFilters;
    ff::PacketPtr pPacket{av_packet_alloc()};
    ff::PacketPtr pOut{av_packet_alloc()};
    ff::FramePtr pDecoded{av_frame_alloc()};
    ff::FramePtr pFiltered{av_frame_alloc()};
    bool bCopy = false;
    int64_t llStart = 0;         // the output's first instant, in the source stream's time base
    int64_t llSamplesOut = 0;    // samples given to the encoder, at its rate
    bool bHavePending = false;   // pPacket (copy) or pFiltered (encode) waits for its turn
    bool bSourceEnded = false;   // no more packets in the source
    bool bInputEnded = false;    // and the decoder has given the filters its last frame
    bool bGraphDrained = false;  // the filters gave their last samples
    bool bStopped = false;       // the sound stopped decoding: the track ends here
    int64_t llCopyOrigin = AV_NOPTS_VALUE;  // the first copied packet's timestamp

    bool OpenCopy(AVFormatContext* pOutFormat) {
        pOutStream = avformat_new_stream(pOutFormat, nullptr);
        if (pOutStream == nullptr ||
            avcodec_parameters_copy(pOutStream->codecpar, pInStream->codecpar) < 0) {
            return false;
        }
        pOutStream->codecpar->codec_tag = 0;  // the AVI muxer picks its own
        pOutStream->time_base = pInStream->time_base;
        bCopy = true;
        return true;
    }

    bool OpenEncode(AVFormatContext* pOutFormat, bool bMp3) {
        const AVCodecParameters* par = pInStream->codecpar;
        const AVCodec* pDecoderCodec = avcodec_find_decoder(par->codec_id);
        const AVCodec* pEncoderCodec = bMp3 ? avcodec_find_encoder_by_name("libmp3lame")
                                            : avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        if (pDecoderCodec == nullptr || pEncoderCodec == nullptr) {
            return false;
        }
        pDecoder.reset(avcodec_alloc_context3(pDecoderCodec));
        if (!pDecoder || avcodec_parameters_to_context(pDecoder.get(), par) < 0) {
            return false;
        }
        pDecoder->pkt_timebase = pInStream->time_base;
        if (avcodec_open2(pDecoder.get(), pDecoderCodec, nullptr) < 0) {
            return false;
        }
        pEncoder.reset(avcodec_alloc_context3(pEncoderCodec));
        if (!pEncoder) {
            return false;
        }
        AVCodecContext* e = pEncoder.get();
        e->sample_rate = ChooseRate(pEncoderCodec, pDecoder->sample_rate);
        av_channel_layout_default(&e->ch_layout, pDecoder->ch_layout.nb_channels >= 2 ? 2 : 1);
        e->sample_fmt = pEncoderCodec->sample_fmts != nullptr ? pEncoderCodec->sample_fmts[0]
                                                              : AV_SAMPLE_FMT_S16;
        e->time_base = AVRational{1, e->sample_rate};
        if (bMp3) {
            e->bit_rate = static_cast<int64_t>(plan.nMp3KBitsPerSecond) * 1000;
        }
        if ((pOutFormat->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
            e->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        if (avcodec_open2(e, pEncoderCodec, nullptr) < 0 || !OpenFilters()) {
            return false;
        }
        // The stream last: a track that cannot be made leaves no empty stream behind.
        pOutStream = avformat_new_stream(pOutFormat, nullptr);
        if (pOutStream == nullptr || avcodec_parameters_from_context(pOutStream->codecpar, e) < 0) {
            return false;
        }
        pOutStream->time_base = e->time_base;
        return true;
    }

    static int ChooseRate(const AVCodec* pCodec, int nWanted) {
        const int* pRates = pCodec->supported_samplerates;
        if (pRates == nullptr) {
            return nWanted;
        }
        int nBest = pRates[0];
        for (const int* p = pRates; *p != 0; ++p) {
            if (*p == nWanted) {
                return nWanted;
            }
            if (std::abs(*p - nWanted) < std::abs(nBest - nWanted)) {
                nBest = *p;
            }
        }
        return nBest;
    }

    bool OpenFilters() {
        pFilters = SoundFilters::Make(*pDecoder, *pEncoder, plan.dTempo);
        return pFilters != nullptr;
    }

    // The next packet of the sound stream into pPacket; false at its end.
    bool ReadPacket() {
        while (!bSourceEnded) {
            av_packet_unref(pPacket.get());
            if (av_read_frame(pIn.get(), pPacket.get()) < 0) {
                bSourceEnded = true;
                break;
            }
            if (pPacket->stream_index == pInStream->index) {
                return true;
            }
        }
        av_packet_unref(pPacket.get());
        return false;
    }

    // Decodes packets into the filters until they have output, or the source ends.
    void FeedFilters() {
        while (!bInputEnded) {
            const int nGot = avcodec_receive_frame(pDecoder.get(), pDecoded.get());
            if (nGot >= 0) {
                int64_t ts = pDecoded->best_effort_timestamp;
                if (ts == AV_NOPTS_VALUE) {
                    ts = llStart;
                }
                // The encoder's delay is taken off the front: a player that plays its priming
                // samples first then hears the start at time 0.
                pDecoded->pts = av_rescale_q(ts - llStart, pInStream->time_base,
                                             AVRational{1, pDecoded->sample_rate}) -
                                av_rescale(pEncoder->initial_padding, pDecoded->sample_rate,
                                           pEncoder->sample_rate);
                if (av_buffersrc_add_frame(pFilters->pSource, pDecoded.get()) < 0) {
                    bStopped = true;
                }
                av_frame_unref(pDecoded.get());
                return;
            }
            if (nGot != AVERROR(EAGAIN)) {
                break;  // the decoder has given its last frame
            }
            // At the source's end the decoder is drained; a damaged packet is skipped and the
            // sound goes on from the next one.
            avcodec_send_packet(pDecoder.get(), ReadPacket() ? pPacket.get() : nullptr);
        }
        bInputEnded = true;
        // The filters give what they hold.
        if (av_buffersrc_add_frame(pFilters->pSource, nullptr) < 0) {
            bGraphDrained = true;
        }
    }

    // The next filtered frame into pFiltered; false when the sound has ended.
    bool NextFrame() {
        if (bHavePending) {
            return true;
        }
        while (!bStopped && !bGraphDrained) {
            const int n = av_buffersink_get_frame(pFilters->pSink, pFiltered.get());
            if (n >= 0) {
                bHavePending = true;
                return true;
            }
            if (n != AVERROR(EAGAIN) || bInputEnded) {
                bGraphDrained = true;
                break;
            }
            FeedFilters();
        }
        return false;
    }

    bool Encode(AVFrame* pFrame, const PacketWriter& write) {
        if (pFrame != nullptr) {
            pFrame->pts = llSamplesOut;
            llSamplesOut += pFrame->nb_samples;
        }
        if (avcodec_send_frame(pEncoder.get(), pFrame) < 0) {
            bStopped = true;
            return true;
        }
        for (;;) {
            const int n = avcodec_receive_packet(pEncoder.get(), pOut.get());
            if (n < 0) {
                return true;
            }
            // The track starts at 0 with the priming samples: a negative start would make the
            // muxer shift the picture by a frame.
            pOut->pts += pEncoder->initial_padding;
            pOut->dts += pEncoder->initial_padding;
            pOut->stream_index = pOutStream->index;
            av_packet_rescale_ts(pOut.get(), pEncoder->time_base, pOutStream->time_base);
            const bool bOk = write(pOut.get());
            av_packet_unref(pOut.get());
            if (!bOk) {
                return false;
            }
        }
    }

    // The sound never runs past the picture: a frame that would is kept for the next call,
    // or, at the end, cut where the picture ends.
    bool EncodeUntil(int64_t llEndUs, bool bLast, const PacketWriter& write) {
        // The priming samples at the front count towards the track's length.
        const int64_t llEnd =
            av_rescale_q(llEndUs, AV_TIME_BASE_Q, pEncoder->time_base) - pEncoder->initial_padding;
        while (llSamplesOut < llEnd && NextFrame()) {
            if (llSamplesOut + pFiltered->nb_samples > llEnd) {
                if (!bLast) {
                    break;
                }
                pFiltered->nb_samples = static_cast<int>(llEnd - llSamplesOut);
            }
            bHavePending = false;
            const bool bOk = Encode(pFiltered.get(), write);
            av_frame_unref(pFiltered.get());
            if (!bOk) {
                return false;
            }
        }
        return !bLast || Encode(nullptr, write);
    }

    bool CopyUntil(int64_t llEndUs, const PacketWriter& write) {
        for (;;) {
            if (!bHavePending) {
                if (!ReadPacket()) {
                    return true;
                }
                if (pPacket->pts == AV_NOPTS_VALUE) {
                    continue;
                }
                // The first packet is the one the start falls in (or the first after it).
                if (llCopyOrigin == AV_NOPTS_VALUE) {
                    if (pPacket->pts + pPacket->duration <= llStart) {
                        continue;
                    }
                    llCopyOrigin = pPacket->pts;
                }
                bHavePending = true;
            }
            const int64_t llAt = pPacket->pts - llCopyOrigin;
            const int64_t llLimit = av_rescale_q(llEndUs, AV_TIME_BASE_Q, pInStream->time_base);
            // A packet goes in once the picture has reached its end; the last ones that
            // would run past the picture's end are left out.
            if (llAt + pPacket->duration > llLimit) {
                return true;
            }
            bHavePending = false;
            pPacket->stream_index = pOutStream->index;
            pPacket->pts = llAt;
            pPacket->dts = llAt;
            av_packet_rescale_ts(pPacket.get(), pInStream->time_base, pOutStream->time_base);
            if (!write(pPacket.get())) {
                return false;
            }
        }
    }
};

SoundTrack::SoundTrack() : m_pImpl(std::make_unique<Impl>()) {}
SoundTrack::~SoundTrack() = default;

bool SoundTrack::Open(const SoundPlan& plan, AVFormatContext* pOut, SoundRefusal& why) {
    Impl& s = *m_pImpl;
    why = SoundRefusal::None;
    s.plan = plan;
    if (plan.mode == SoundMode::None) {
        return false;
    }
    int nStream = -1;
    s.pIn = OpenSource(plan.strSource, nStream);
    if (!s.pIn) {
        return false;  // no sound to keep
    }
    s.pInStream = s.pIn->streams[nStream];
    if (!CanStretchTo(plan.dTempo)) {
        why = SoundRefusal::Tempo;
        return false;
    }
    s.llStart = av_rescale_q(plan.llStartMicroseconds, AV_TIME_BASE_Q, s.pInStream->time_base);
    // Copied packets cannot begin with silence: a sound that starts after the range does
    // (by more than 20 ms) is decoded and padded instead.
    const int64_t llStreamStart = s.pInStream->start_time;
    const bool bStartsLate =
        llStreamStart != AV_NOPTS_VALUE &&
        llStreamStart > s.llStart + av_rescale_q(20'000, AV_TIME_BASE_Q, s.pInStream->time_base);
    const bool bCopyable = IsCopyable(s.pInStream->codecpar->codec_id) &&
                           PlaysAtRecordedSpeed(plan.dTempo) && !bStartsLate;
    if (plan.mode == SoundMode::Copy && !bCopyable) {
        why = SoundRefusal::NotAsItIs;
        return false;
    }
    const bool bCopy = plan.mode == SoundMode::Copy || (plan.mode == SoundMode::Keep && bCopyable);
    const bool bOpened = bCopy ? s.OpenCopy(pOut) : s.OpenEncode(pOut, plan.mode != SoundMode::Pcm);
    if (!bOpened) {
        why = SoundRefusal::Codec;
        return false;
    }
    // From a little before the start: the decoder settles, the filters drop what is early.
    const int64_t llSeek = s.llStart - av_rescale_q(1, AVRational{1, 1}, s.pInStream->time_base);
    av_seek_frame(s.pIn.get(), nStream, llSeek, AVSEEK_FLAG_BACKWARD);
    return true;
}

bool SoundTrack::WriteUntil(int64_t llEndUs, const PacketWriter& write) {
    Impl& s = *m_pImpl;
    return s.bCopy ? s.CopyUntil(llEndUs, write) : s.EncodeUntil(llEndUs, false, write);
}

bool SoundTrack::Finish(int64_t llEndUs, const PacketWriter& write) {
    Impl& s = *m_pImpl;
    return s.bCopy ? s.CopyUntil(llEndUs, write) : s.EncodeUntil(llEndUs, true, write);
}

}  // namespace platform
