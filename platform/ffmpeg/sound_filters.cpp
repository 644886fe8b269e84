#include "platform/ffmpeg/sound_filters.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavutil/channel_layout.h>
}

namespace platform {
namespace {

// atempo stages, each within the range it keeps the sound clean in, whose product is dTempo.
std::vector<double> TempoStages(double dTempo) {
    std::vector<double> stages;
    double dLeft = dTempo;
    while (dLeft < 0.5 || dLeft > 2.0) {
        stages.push_back(dLeft < 0.5 ? 0.5 : 2.0);
        dLeft /= stages.back();
    }
    if (!PlaysAtRecordedSpeed(dLeft)) {
        stages.push_back(dLeft);
    }
    return stages;
}

std::string TempoFilters(const std::vector<double>& stages) {
    std::string strChain;
    for (const double dStage : stages) {
        char sz[48];
        std::snprintf(sz, sizeof(sz), "atempo=%.9f,", dStage);
        strChain += sz;
    }
    return strChain;
}

// atempo plays its output half a window early (the window: a power of two of at least
// 1/24 s), and each stage moves what the later ones are given. The lead, in samples of the
// stretched sound, to be put back as silence in front of it.
int64_t TempoLead(const std::vector<double>& stages, int nSampleRate) {
    int64_t nWindow = 1;
    while (nWindow < nSampleRate / 24) {
        nWindow *= 2;
    }
    double dLead = 0;
    double dBefore = 1;  // source samples per sample given to this stage
    for (const double dStage : stages) {
        dLead += static_cast<double>(nWindow) / 2 * dBefore;
        dBefore *= dStage;
    }
    return std::llround(dLead / dBefore);
}

}  // namespace

SoundFilters::~SoundFilters() {
    avfilter_graph_free(&pGraph);
}

// abuffer → samples before the start dropped, silence where the sound starts late or has a
// gap (so that it stays in step with the picture), timestamps made continuous → the stretch
// → the encoder's rate, layout and sample format → abuffersink.
std::unique_ptr<SoundFilters> SoundFilters::Make(const AVCodecContext& decoder,
                                                 const SoundTarget& target, double dTempo) {
    std::unique_ptr<SoundFilters> pFilters(new SoundFilters);
    pFilters->pGraph = avfilter_graph_alloc();
    AVFilterGraph* pGraph = pFilters->pGraph;
    if (pGraph == nullptr) {
        return nullptr;
    }
    AVChannelLayout inLayout{};
    if (decoder.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&inLayout, decoder.ch_layout.nb_channels);
    } else if (av_channel_layout_copy(&inLayout, &decoder.ch_layout) < 0) {
        return nullptr;
    }
    char szLayout[128] = {};
    av_channel_layout_describe(&inLayout, szLayout, sizeof(szLayout));
    av_channel_layout_uninit(&inLayout);
    char szArgs[512];
    std::snprintf(szArgs, sizeof(szArgs),
                  "time_base=1/%d:sample_rate=%d:sample_fmt=%s:channel_layout=%s",
                  decoder.sample_rate, decoder.sample_rate,
                  av_get_sample_fmt_name(decoder.sample_fmt), szLayout);
    if (avfilter_graph_create_filter(&pFilters->pSource, avfilter_get_by_name("abuffer"), "in",
                                     szArgs, nullptr, pGraph) < 0 ||
        avfilter_graph_create_filter(&pFilters->pSink, avfilter_get_by_name("abuffersink"), "out",
                                     nullptr, nullptr, pGraph) < 0) {
        return nullptr;
    }
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, target.nChannels);
    char szOutLayout[64] = {};
    av_channel_layout_describe(&outLayout, szOutLayout, sizeof(szOutLayout));
    av_channel_layout_uninit(&outLayout);
    const std::vector<double> stages = TempoStages(dTempo);
    const std::string strDelay =
        stages.empty() ? ""
                       : "adelay=delays=" + std::to_string(TempoLead(stages, decoder.sample_rate)) +
                             "S:all=1,";
    const std::string strChain = "atrim=start=0,aresample=async=1:first_pts=0,asetpts=N/SR/TB," +
                                 TempoFilters(stages) + strDelay +
                                 "aresample=" + std::to_string(target.nSampleRate) +
                                 ",aformat=sample_fmts=" + av_get_sample_fmt_name(target.eFormat) +
                                 ":channel_layouts=" + szOutLayout;
    AVFilterInOut* pOutputs = avfilter_inout_alloc();
    AVFilterInOut* pInputs = avfilter_inout_alloc();
    bool bOk = pOutputs != nullptr && pInputs != nullptr;
    if (bOk) {
        pOutputs->name = av_strdup("in");
        pOutputs->filter_ctx = pFilters->pSource;
        pInputs->name = av_strdup("out");
        pInputs->filter_ctx = pFilters->pSink;
        bOk =
            avfilter_graph_parse_ptr(pGraph, strChain.c_str(), &pInputs, &pOutputs, nullptr) >= 0 &&
            avfilter_graph_config(pGraph, nullptr) >= 0;
    }
    avfilter_inout_free(&pInputs);
    avfilter_inout_free(&pOutputs);
    if (bOk && target.nFrameSize > 0) {
        av_buffersink_set_frame_size(pFilters->pSink, static_cast<unsigned>(target.nFrameSize));
    }
    return bOk ? std::move(pFilters) : nullptr;
}

}  // namespace platform
