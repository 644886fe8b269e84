#include "platform/ffmpeg/sound_track.h"

#include <cstdlib>
#include <string>

#include "platform/ffmpeg/sound_decoder.h"

extern "C" {
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

// What an MPEG audio frame's header says of its rate and channels; false when the packet
// does not begin with a header.
bool ReadMpegAudioHeader(const AVPacket& packet, int& nRate, int& nChannels) {
    if (packet.size < 4 || packet.data[0] != 0xFF || (packet.data[1] & 0xE0) != 0xE0) {
        return false;
    }
    static constexpr int kRates[3] = {44100, 48000, 32000};
    const int nVersion = (packet.data[1] >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int nRateIndex = (packet.data[2] >> 2) & 3;
    const int nLayer = (packet.data[1] >> 1) & 3;
    if (nVersion == 1 || nRateIndex == 3 || nLayer == 0) {
        return false;
    }
    nRate = kRates[nRateIndex] >> (nVersion == 3 ? 0 : nVersion == 2 ? 1 : 2);
    nChannels = ((packet.data[3] >> 6) & 3) == 3 ? 1 : 2;
    return true;
}

// Whether a copied packet plays as the stream the file declares: an MPEG audio frame of
// another rate or channel count than the stream declares (streams joined, a damaged
// header) would not. (The demuxer follows such a change in the source stream's parameters.)
bool FitsStream(const AVPacket& packet, const AVCodecParameters& par) {
    if (par.codec_id != AV_CODEC_ID_MP3 && par.codec_id != AV_CODEC_ID_MP2) {
        return true;
    }
    int nRate = 0;
    int nChannels = 0;
    return ReadMpegAudioHeader(packet, nRate, nChannels) && nRate == par.sample_rate &&
           nChannels == par.ch_layout.nb_channels;
}

}  // namespace

SoundSource ProbeSound(const std::string& strPath) {
    const std::unique_ptr<SoundInput> pInput = SoundInput::Open(strPath);
    SoundSource source;
    if (!pInput) {
        return source;
    }
    const AVCodecParameters* par = pInput->pStream->codecpar;
    source.bHasSound = avcodec_find_decoder(par->codec_id) != nullptr && par->sample_rate > 0;
    source.bCopyable = source.bHasSound && IsCopyable(par->codec_id);
    return source;
}

struct SoundTrack::Impl {
    SoundPlan plan;
    std::unique_ptr<SoundInput> pInput;
    AVStream* pInStream = nullptr;
    AVStream* pOutStream = nullptr;
    std::unique_ptr<SoundDecoder> pDecoder;
    ff::CodecPtr pEncoder;
    ff::PacketPtr pPacket{av_packet_alloc()};
    ff::PacketPtr pOut{av_packet_alloc()};
    bool bCopy = false;
    int64_t llStart = 0;       // the output's first instant, in the source stream's time base
    int64_t llSamplesOut = 0;  // samples given to the encoder, at its rate
    bool bHavePacket = false;  // pPacket (copy) waits for its turn
    bool bStopped = false;     // the encoder failed: the track ends here
    int64_t llCopyOrigin = AV_NOPTS_VALUE;  // the first copied packet's timestamp
    int64_t llLeftOut = 0;                  // copied packets left out, in the source's time base
    int64_t llNextAt = 0;                   // where the next copied packet may start

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
        const AVCodec* pEncoderCodec = bMp3 ? avcodec_find_encoder_by_name("libmp3lame")
                                            : avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        if (pEncoderCodec == nullptr || par->sample_rate <= 0) {
            return false;
        }
        pEncoder.reset(avcodec_alloc_context3(pEncoderCodec));
        if (!pEncoder) {
            return false;
        }
        AVCodecContext* e = pEncoder.get();
        e->sample_rate = ChooseRate(pEncoderCodec, par->sample_rate);
        av_channel_layout_default(&e->ch_layout, par->ch_layout.nb_channels >= 2 ? 2 : 1);
        e->sample_fmt = pEncoderCodec->sample_fmts != nullptr ? pEncoderCodec->sample_fmts[0]
                                                              : AV_SAMPLE_FMT_S16;
        e->time_base = AVRational{1, e->sample_rate};
        if (bMp3) {
            e->bit_rate = static_cast<int64_t>(plan.nMp3KBitsPerSecond) * 1000;
        }
        if ((pOutFormat->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
            e->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        if (avcodec_open2(e, pEncoderCodec, nullptr) < 0) {
            return false;
        }
        SoundTarget target;
        target.nSampleRate = e->sample_rate;
        target.nChannels = e->ch_layout.nb_channels;
        target.eFormat = e->sample_fmt;
        if ((pEncoderCodec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) == 0) {
            target.nFrameSize = e->frame_size;
        }
        // The encoder's delay is taken off the front: a player that plays its priming
        // samples first then hears the start at time 0.
        const int64_t nLead = av_rescale(e->initial_padding, par->sample_rate, e->sample_rate);
        pDecoder =
            SoundDecoder::Open(*pInput, target, plan.dTempo, plan.llStartMicroseconds, nLead);
        if (!pDecoder) {
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
        AVFrame* pFrame = nullptr;
        while (!bStopped && llSamplesOut < llEnd && (pFrame = pDecoder->Next()) != nullptr) {
            if (llSamplesOut + pFrame->nb_samples > llEnd) {
                if (!bLast) {
                    break;
                }
                pFrame->nb_samples = static_cast<int>(llEnd - llSamplesOut);
            }
            const bool bOk = Encode(pFrame, write);
            pDecoder->Consume();
            if (!bOk) {
                return false;
            }
        }
        return !bLast || Encode(nullptr, write);
    }

    bool CopyUntil(int64_t llEndUs, const PacketWriter& write) {
        for (;;) {
            if (!bHavePacket) {
                if (!pInput->ReadPacket(pPacket.get())) {
                    return true;
                }
                if (pPacket->pts == AV_NOPTS_VALUE) {
                    continue;
                }
                // The first packet is the one whose start is nearest the output's: a packet
                // plays whole, so the sound is off by at most half of one. An encoder's
                // priming that an edit list skips (MP3 in MP4: 1105 of 1152 samples) is
                // most of the first packet, which is then left out rather than played late.
                if (llCopyOrigin == AV_NOPTS_VALUE) {
                    if (2 * (llStart - pPacket->pts) > pPacket->duration) {
                        continue;
                    }
                    llCopyOrigin = pPacket->pts;
                }
                bHavePacket = true;
            }
            const int64_t llAt = pPacket->pts - llCopyOrigin;
            const int64_t llLimit = av_rescale_q(llEndUs, AV_TIME_BASE_Q, pInStream->time_base);
            // A packet goes in once the picture has reached its end; the last ones that
            // would run past the picture's end are left out.
            if (llAt + pPacket->duration > llLimit) {
                return true;
            }
            bHavePacket = false;
            // A packet the stream cannot play, or one that goes back over what is written
            // (streams joined with overlapping times), is left out: the rest plays on.
            if (!FitsStream(*pPacket, *pOutStream->codecpar) || llAt < llNextAt) {
                llLeftOut += pPacket->duration;
                continue;
            }
            llNextAt = llAt + pPacket->duration;
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
    s.pInput = SoundInput::Open(plan.strSource);
    if (!s.pInput) {
        return false;  // no sound to keep
    }
    s.pInStream = s.pInput->pStream;
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
    s.pInput->SeekBefore(s.llStart);
    return true;
}

bool SoundTrack::WriteUntil(int64_t llEndUs, const PacketWriter& write) {
    Impl& s = *m_pImpl;
    return s.bCopy ? s.CopyUntil(llEndUs, write) : s.EncodeUntil(llEndUs, false, write);
}

int64_t SoundTrack::LeftOutMicroseconds() const {
    const Impl& s = *m_pImpl;
    return s.pInStream != nullptr
               ? av_rescale_q(s.llLeftOut, s.pInStream->time_base, AV_TIME_BASE_Q)
               : 0;
}

bool SoundTrack::Finish(int64_t llEndUs, const PacketWriter& write) {
    Impl& s = *m_pImpl;
    return s.bCopy ? s.CopyUntil(llEndUs, write) : s.EncodeUntil(llEndUs, true, write);
}

}  // namespace platform
