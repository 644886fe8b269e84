#include "platform/ffmpeg/sound_reformat.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace platform {
namespace {

// A layout a frame or decoder leaves unordered is taken as the default for its channels.
void CopyLayout(AVChannelLayout& to, const AVChannelLayout& from) {
    av_channel_layout_uninit(&to);
    if (from.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_copy(&to, &from) < 0) {
        av_channel_layout_default(&to, from.nb_channels);
    }
}

}  // namespace

SoundReformat::SoundReformat(const AVCodecContext& decoder)
    : m_nRate(decoder.sample_rate), m_eFormat(decoder.sample_fmt) {
    CopyLayout(m_layout, decoder.ch_layout);
}

SoundReformat::~SoundReformat() {
    av_channel_layout_uninit(&m_layout);
    av_channel_layout_uninit(&m_swrFrom);
}

bool SoundReformat::HasFormat(const AVFrame& frame) const {
    AVChannelLayout layout{};
    CopyLayout(layout, frame.ch_layout);
    const bool bSame = frame.sample_rate == m_nRate && frame.format == m_eFormat &&
                       av_channel_layout_compare(&layout, &m_layout) == 0;
    av_channel_layout_uninit(&layout);
    return bSame;
}

AVFrame* SoundReformat::Take(AVFrame* pDecoded) {
    if (HasFormat(*pDecoded)) {
        return pDecoded;
    }
    if (pDecoded->sample_rate <= 0 || pDecoded->ch_layout.nb_channels <= 0) {
        return nullptr;
    }
    AVChannelLayout from{};
    CopyLayout(from, pDecoded->ch_layout);
    const auto eFrom = static_cast<AVSampleFormat>(pDecoded->format);
    if (!m_pSwr || pDecoded->sample_rate != m_nSwrFromRate || eFrom != m_eSwrFromFormat ||
        av_channel_layout_compare(&from, &m_swrFrom) != 0) {
        // A new format: a resampler of its own (what the last one still held is a few
        // samples of the format before, at the change).
        SwrContext* pSwr = nullptr;
        if (swr_alloc_set_opts2(&pSwr, &m_layout, m_eFormat, m_nRate, &from, eFrom,
                                pDecoded->sample_rate, 0, nullptr) < 0 ||
            swr_init(pSwr) < 0) {
            swr_free(&pSwr);
            m_pSwr.reset();
            av_channel_layout_uninit(&from);
            return nullptr;
        }
        m_pSwr.reset(pSwr);
        CopyLayout(m_swrFrom, from);
        m_nSwrFromRate = pDecoded->sample_rate;
        m_eSwrFromFormat = eFrom;
    }
    av_channel_layout_uninit(&from);
    av_frame_unref(m_pOut.get());
    m_pOut->sample_rate = m_nRate;
    m_pOut->format = m_eFormat;
    if (av_channel_layout_copy(&m_pOut->ch_layout, &m_layout) < 0 ||
        swr_convert_frame(m_pSwr.get(), m_pOut.get(), pDecoded) < 0) {
        return nullptr;
    }
    return m_pOut.get();
}

}  // namespace platform
