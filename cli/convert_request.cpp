#include "cli/convert_request.h"

#include <algorithm>
#include <functional>

#include "cli/arguments.h"
#include "resources/command_line_texts.h"
#include "resources/text_format.h"

namespace cli {
namespace {

// "DIB" stands for "DIB "; anything else must be four characters.
std::optional<uint32_t> ParseFourCC(std::string strTag) {
    if (strTag.size() == 3) {
        strTag += ' ';
    }
    if (strTag.size() != 4) {
        return std::nullopt;
    }
    return platform::MakeFourCC(strTag[0], strTag[1], strTag[2], strTag[3]);
}

}  // namespace

std::string ParseConvertRequest(const std::vector<std::string>& args, ConvertRequest& r) {
    // The options that take one whole number, with where it goes. A rate given on the
    // command line is a fixed rate, as the dialog's second choice is.
    struct NumberOption {
        const char* pszName;
        int32_t nMin;
        int32_t nMax;
        std::function<void(int32_t)> apply;
    };
    const NumberOption numbers[] = {
        {"--quality", 0, 100, [&](int32_t n) { r.choice.nQuality = n; }},
        {"--keyframe", 1, 100000, [&](int32_t n) { r.choice.nKeyFrameEvery = n; }},
        {"--data-rate", 1, 10000000, [&](int32_t n) { r.choice.nDataRateKBps = n; }},
        {"--src-rate", 1, 1000,
         [&](int32_t n) {
             r.settings.nSrcRateMode = 1;
             r.settings.nSrcFrameRate = n;
         }},
        {"--timer-rate", 1, 1000,
         [&](int32_t n) {
             r.bMaxRate = false;
             r.settings.nTimerRateMode = 2;
             r.settings.nTimerFrameRate = n;
         }},
        {"--dst-rate", 1, 1000,
         [&](int32_t n) {
             r.settings.nDstRateMode = 1;
             r.settings.nDstFrameRate = n;
         }},
        {"--thinning", 1, 3, [&](int32_t n) { r.settings.nThinning = n; }},
        {"--encoder-threads", 0, 64, [&](int32_t n) { r.choice.nEncoderThreads = n; }},
        {"--audio-bitrate", 32, 320, [&](int32_t n) { r.settings.nSoundKBitsPerSecond = n; }},
    };
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 2 || a.compare(0, 2, "--") != 0) {
            positional.push_back(a);
            continue;
        }
        if (a == "--dv-crop") {
            r.settings.bDvCrop = 1;
            continue;
        }
        if (a == "--no-clobber") {
            r.bNoClobber = true;
            continue;
        }
        const size_t nValues = a == "--range" ? 2 : 1;
        if (i + nValues >= args.size()) {
            return str::Format(nValues == 2 ? str::kCliNeedsTwo : str::kCliNeedsValue, a.c_str());
        }
        const std::string& v = args[i + 1];
        i += nValues;
        if (const auto strError = ParseEffectOption(a, v, false, r.effects)) {
            if (!strError->empty()) {
                return *strError;
            }
            continue;
        }
        if (a == "--codec") {
            const auto tag = ParseFourCC(v);
            if (!tag) {
                return str::kCliFourCC;
            }
            r.choice.nFourCC = *tag;
            continue;
        }
        if (a == "--range") {
            const auto s = ParseInt(v, 0, INT32_MAX);
            const auto e = ParseInt(args[i], 0, INT32_MAX);
            if (!s || !e || *s >= *e) {
                return str::kCliRangeOrder;
            }
            r.range = std::pair{*s, *e};
            continue;
        }
        if (a == "--audio") {
            const std::string modes[] = {"none", "keep", "copy", "mp3", "pcm"};
            const auto mode = std::find(std::begin(modes), std::end(modes), v);
            if (mode == std::end(modes)) {
                return str::kCliAudioModes;
            }
            r.settings.nSoundMode = static_cast<int32_t>(mode - std::begin(modes));
            continue;
        }
        if (a == "--timer-rate" && v == "max") {
            r.bMaxRate = true;
            continue;
        }
        const auto option = std::find_if(std::begin(numbers), std::end(numbers),
                                         [&](const NumberOption& o) { return a == o.pszName; });
        if (option == std::end(numbers)) {
            return str::Format(str::kCliUnknownOption, a.c_str());
        }
        const auto n = ParseInt(v, option->nMin, option->nMax);
        if (!n) {
            return str::Format(str::kCliNotInRange, a.c_str(), v.c_str(), option->nMin,
                               option->nMax);
        }
        option->apply(*n);
    }
    if (positional.size() != 2) {
        return str::kCliSourceAndDest;
    }
    if (std::string strError = CheckEffectOptions(r.effects); !strError.empty()) {
        return strError;
    }
    r.settings.bApplyEffects = r.effects.mode ? 1 : 0;
    r.strSource = positional[0];
    r.strDest = positional[1];
    return "";
}

}  // namespace cli
