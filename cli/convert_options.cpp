#include <algorithm>
#include <cstdint>
#include <iterator>

#include "cli/convert_request.h"
#include "cli/option_table.h"
#include "resources/colour_modes.h"

namespace cli {
namespace {

using Def = OptionDef<ConvertRequest>;

// "DIB" stands for "DIB "; anything else must be four characters.
std::string ParseCodec(ConvertRequest& r, const std::vector<std::string>& values) {
    std::string strTag = values[0];
    if (strTag.size() == 3) {
        strTag += ' ';
    }
    if (strTag.size() != 4) {
        return str::kCliFourCC;
    }
    r.choice.nFourCC = platform::MakeFourCC(strTag[0], strTag[1], strTag[2], strTag[3]);
    return "";
}

std::string ParseRange(ConvertRequest& r, const std::vector<std::string>& values) {
    const auto s = ParseInt(values[0], 0, INT32_MAX);
    const auto e = ParseInt(values[1], 0, INT32_MAX);
    if (!s || !e || *s >= *e) {
        return str::kCliRangeOrder;
    }
    r.range = std::pair{*s, *e};
    return "";
}

constexpr const char* kAudioModes = "none keep copy mp3 pcm";  // in platform::SoundMode's order

std::string ParseAudio(ConvertRequest& r, const std::vector<std::string>& values) {
    const std::string modes[] = {"none", "keep", "copy", "mp3", "pcm"};
    const auto mode = std::find(std::begin(modes), std::end(modes), values[0]);
    if (mode == std::end(modes)) {
        return str::kCliAudioModes;
    }
    r.settings.nSoundMode = static_cast<int32_t>(mode - std::begin(modes));
    return "";
}

// A rate given on the command line is a fixed rate, as the dialog's second choice is.
std::string ParseTimerRate(ConvertRequest& r, const std::vector<std::string>& values) {
    if (values[0] == "max") {
        r.bMaxRate = true;
        return "";
    }
    const auto n = ParseInt(values[0], 1, 1000);
    if (!n) {
        return str::Format(str::kCliNotInRange, "--timer-rate", values[0].c_str(), 1, 1000);
    }
    r.bMaxRate = false;
    r.settings.nTimerRateMode = 2;
    r.settings.nTimerFrameRate = *n;
    return "";
}

constexpr Def kConvertOptions[] = {
    {"--codec", "FOURCC", "compressor (see --list-codecs; default DIB, uncompressed)", 0, 0,
     nullptr, ParseCodec},
    {"--quality", "Q", "compressor quality", 0, 100,
     [](ConvertRequest& r, int32_t n) { r.choice.nQuality = n; }},
    {"--keyframe", "N", "a key frame every N frames", 1, 100000,
     [](ConvertRequest& r, int32_t n) { r.choice.nKeyFrameEvery = n; }},
    {"--data-rate", "KBPS", "data rate in KB/s", 1, 10000000,
     [](ConvertRequest& r, int32_t n) { r.choice.nDataRateKBps = n; }},
    {"--src-rate", "N", "source frames per second (default 30)", 1, 1000,
     [](ConvertRequest& r, int32_t n) {
         r.settings.nSrcRateMode = 1;
         r.settings.nSrcFrameRate = n;
     }},
    {"--timer-rate", "N", "ticks per second, 1..1000, or max (default): as fast as possible", 0, 0,
     nullptr, ParseTimerRate, "max"},
    {"--dst-rate", "N", "frame rate of DEST (default 30)", 1, 1000,
     [](ConvertRequest& r, int32_t n) {
         r.settings.nDstRateMode = 1;
         r.settings.nDstFrameRate = n;
     }},
    {"--thinning", "T", "write one frame in T", 1, 3,
     [](ConvertRequest& r, int32_t n) { r.settings.nThinning = n; }, nullptr, "1 2 3"},
    {"--range", "START END",
     "frames START to END (counted at 30 a second; default the whole stream)", 0, 0, nullptr,
     ParseRange},
    {"--dv-crop", "", "reduce a 360x240 source to 320x240", 0, 0, nullptr,
     [](ConvertRequest& r, const std::vector<std::string>&) {
         r.settings.bDvCrop = 1;
         return std::string();
     }},
    {"--encoder-threads", "N", "threads inside the encoder (default 0: as many as it can use)", 0,
     64, [](ConvertRequest& r, int32_t n) { r.choice.nEncoderThreads = n; }},
    {"--audio", "MODE",
     "the source's sound: none, keep (default: copied when an AVI takes\n"
     "it as it is, else MP3), copy, mp3, or pcm (16-bit)",
     0, 0, nullptr, ParseAudio, kAudioModes},
    {"--audio-bitrate", "KBPS", "MP3's bit rate (default 192)", 32, 320,
     [](ConvertRequest& r, int32_t n) { r.settings.nSoundKBitsPerSecond = n; }},
    {"--no-clobber", "",
     "never replace a file: DEST appears only when complete, and when\n"
     "something has that name nothing is converted (exit status 3)",
     0, 0, nullptr,
     [](ConvertRequest& r, const std::vector<std::string>&) {
         r.bNoClobber = true;
         return std::string();
     }},
    {"--mode", "M",
     "write the frames through colour mode M (as --render; without it,\n"
     "as decoded), with --levels, --mosaic, --paint and --strobe as\n"
     "--render takes them (the strobe counts frames written)",
     0, colour::kModeCount - 1, [](ConvertRequest& r, int32_t n) { r.effects.mode = n; }, nullptr,
     colour::kModeNumbers.data()},
    kLevelsOption<ConvertRequest>,
    kMosaicOption<ConvertRequest>,
    kPaintOption<ConvertRequest>,
    kStrobeOption<ConvertRequest>,
};

}  // namespace

std::span<const OptionDef<ConvertRequest>> ConvertOptions() {
    return kConvertOptions;
}

std::string ConvertUsage() {
    return UsageSynopsis("usage: quovel --convert SOURCE DEST", ConvertOptions()) +
           "       quovel --list-codecs [--size WxH]\n"
           "Converts SOURCE into the new AVI file DEST as the window's 保存 command does.\n" +
           UsageOptions(ConvertOptions()) +
           "Exit status: 0 written, 1 failed, 2 wrong command line, 3 DEST left alone,\n"
           "4 written, but with frames that did not decode replaced by the frame before, or "
           "sound\n"
           "that could not be copied as it is left out (a message says what and where),\n"
           "128+N stopped by signal N (DEST holds the frames written).\n";
}

std::string ParseConvertRequest(const std::vector<std::string>& args, ConvertRequest& r) {
    std::vector<std::string> positional;
    if (std::string strError = ParseOptions(ConvertOptions(), args, r, positional);
        !strError.empty()) {
        return strError;
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
