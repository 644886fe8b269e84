#include "platform/ffmpeg/sound_decoder.h"

#include "platform/ffmpeg/ffmpeg_setup.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace platform {

std::unique_ptr<SoundInput> SoundInput::Open(const std::string& strPath, bool bProbe) {
    SetUpFFmpegOnce();
    AVFormatContext* pRaw = nullptr;
    if (avformat_open_input(&pRaw, strPath.c_str(), nullptr, nullptr) < 0) {
        return nullptr;
    }
    auto pInput = std::make_unique<SoundInput>();
    pInput->pIn.reset(pRaw);
    int nStream = av_find_best_stream(pRaw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    const AVCodecParameters* par = nStream >= 0 ? pRaw->streams[nStream]->codecpar : nullptr;
    if (bProbe || par == nullptr || par->codec_id == AV_CODEC_ID_NONE || par->sample_rate <= 0 ||
        par->ch_layout.nb_channels <= 0) {
        if (avformat_find_stream_info(pRaw, nullptr) < 0) {
            return nullptr;
        }
        nStream = av_find_best_stream(pRaw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    }
    if (nStream < 0) {
        return nullptr;
    }
    pInput->pStream = pRaw->streams[nStream];
    return pInput;
}

bool SoundInput::ReadPacket(AVPacket* pPacket) {
    bRead = true;
    while (!bEnded) {
        av_packet_unref(pPacket);
        if (av_read_frame(pIn.get(), pPacket) < 0) {
            bEnded = true;
            break;
        }
        if (pPacket->stream_index == pStream->index) {
            return true;
        }
    }
    av_packet_unref(pPacket);
    return false;
}

void SoundInput::SeekBefore(int64_t llStart) {
    bEnded = false;
    const int64_t llFirst = pStream->start_time != AV_NOPTS_VALUE ? pStream->start_time : 0;
    const int64_t llSeek = llStart - av_rescale_q(1, AVRational{1, 1}, pStream->time_base);
    if (llSeek > llFirst &&
        av_seek_frame(pIn.get(), pStream->index, llSeek, AVSEEK_FLAG_BACKWARD) >= 0) {
        return;
    }
    // From the start. Untouched, the file is there already, with the packets probing read
    // still queued; a seek before the first packet fails in some demuxers (AVI's) after
    // dropping that queue, and the sound would lose its first second or more.
    if (!bRead) {
        return;
    }
    const int64_t llFileStart = pIn->start_time != AV_NOPTS_VALUE ? pIn->start_time : 0;
    if (av_seek_frame(pIn.get(), -1, llFileStart, AVSEEK_FLAG_BACKWARD) < 0) {
        av_seek_frame(pIn.get(), -1, 0, AVSEEK_FLAG_BYTE);
    }
}

std::unique_ptr<SoundDecoder> SoundDecoder::Open(SoundInput& input, const SoundTarget& target,
                                                 double dTempo, int64_t llStartMicroseconds,
                                                 int64_t nLeadSamples) {
    const AVCodecParameters* par = input.pStream->codecpar;
    const AVCodec* pCodec = avcodec_find_decoder(par->codec_id);
    if (pCodec == nullptr) {
        return nullptr;
    }
    std::unique_ptr<SoundDecoder> pDecoder(new SoundDecoder(input));
    pDecoder->m_pDecoder.reset(avcodec_alloc_context3(pCodec));
    AVCodecContext* d = pDecoder->m_pDecoder.get();
    if (d == nullptr || avcodec_parameters_to_context(d, par) < 0) {
        return nullptr;
    }
    d->pkt_timebase = input.pStream->time_base;
    if (avcodec_open2(d, pCodec, nullptr) < 0) {
        return nullptr;
    }
    pDecoder->m_pFilters = SoundFilters::Make(*d, target, dTempo);
    if (!pDecoder->m_pFilters) {
        return nullptr;
    }
    pDecoder->m_pReformat = std::make_unique<SoundReformat>(*d);
    pDecoder->m_llStartMicroseconds = llStartMicroseconds;
    pDecoder->m_nLeadSamples = nLeadSamples;
    return pDecoder;
}

SoundDecoder::~SoundDecoder() = default;

int SoundDecoder::SourceRate() const {
    return m_pDecoder->sample_rate;
}

// Decodes packets into the filters until one frame went in, or the source ends. A packet
// that does not decode is passed over: the filters fill its time with silence.
void SoundDecoder::FeedFilters() {
    int nStuck = 0;  // decoder errors since a packet last went in
    while (!m_bInputEnded) {
        const int nGot = avcodec_receive_frame(m_pDecoder.get(), m_pDecoded.get());
        if (nGot >= 0) {
            const int64_t ts = m_pDecoded->best_effort_timestamp;
            AVFrame* pFrame = m_pReformat->Take(m_pDecoded.get());
            if (pFrame == nullptr) {
                av_frame_unref(m_pDecoded.get());
                continue;  // samples of a format that cannot be converted: a gap
            }
            // In samples from the start: a time base of whole packets (MP3 in AVI: 1152
            // samples) would put the start up to a packet off.
            const AVRational samples{1, m_pReformat->Rate()};
            const int64_t llStartSamples =
                av_rescale_q(m_llStartMicroseconds, AV_TIME_BASE_Q, samples);
            pFrame->pts =
                (ts == AV_NOPTS_VALUE
                     ? 0
                     : av_rescale_q(ts, m_input.pStream->time_base, samples) - llStartSamples) -
                m_nLeadSamples;
            if (av_buffersrc_add_frame(m_pFilters->pSource, pFrame) < 0) {
                m_bStopped = true;
            }
            av_frame_unref(pFrame);
            av_frame_unref(m_pDecoded.get());
            return;
        }
        if (nGot == AVERROR_EOF) {
            break;  // the decoder has given its last frame
        }
        if (nGot != AVERROR(EAGAIN)) {
            if (++nStuck > kMaxDecoderErrors) {
                break;
            }
            continue;
        }
        nStuck = 0;
        // At the source's end the decoder is drained.
        avcodec_send_packet(m_pDecoder.get(),
                            m_input.ReadPacket(m_pPacket.get()) ? m_pPacket.get() : nullptr);
    }
    m_bInputEnded = true;
    // The filters give what they hold.
    if (av_buffersrc_add_frame(m_pFilters->pSource, nullptr) < 0) {
        m_bGraphDrained = true;
    }
}

AVFrame* SoundDecoder::Next() {
    if (m_bPending) {
        return m_pFiltered.get();
    }
    while (!m_bStopped && !m_bGraphDrained) {
        const int n = av_buffersink_get_frame(m_pFilters->pSink, m_pFiltered.get());
        if (n >= 0) {
            m_bPending = true;
            return m_pFiltered.get();
        }
        if (n != AVERROR(EAGAIN) || m_bInputEnded) {
            m_bGraphDrained = true;
            break;
        }
        FeedFilters();
    }
    return nullptr;
}

void SoundDecoder::Consume() {
    if (m_bPending) {
        av_frame_unref(m_pFiltered.get());
        m_bPending = false;
    }
}

}  // namespace platform
