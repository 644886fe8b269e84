#include "app/remembered_choices.h"

#include <limits>

#include "state/app_state.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct RememberedField {
    const char* pszKey;
    int32_t* pTarget;
    int32_t nMin;
    int32_t nMax;
};

// The slider ranges of the colour dialog and the values the conversion dialog accepts.
const RememberedField kFields[] = {
    {"colour/rgb1", &AppState.nRgbLevel[0], -255, 255},
    {"colour/rgb2", &AppState.nRgbLevel[1], -255, 255},
    {"colour/rgb3", &AppState.nRgbLevel[2], -255, 255},
    {"colour/yuv1", &AppState.nYuvLevel[0], -255, 255},
    {"colour/yuv2", &AppState.nYuvLevel[1], -255, 255},
    {"colour/yuv3", &AppState.nYuvLevel[2], -255, 255},
    {"colour/hsv1", &AppState.nHsvLevel[0], -255, 255},
    {"colour/hsv2", &AppState.nHsvLevel[1], -255, 255},
    {"colour/hsv3", &AppState.nHsvLevel[2], -255, 255},
    {"colour/mosaicSize", &AppState.nMosaicSize, 1, 32},
    {"colour/paintLevels", &AppState.nPaintLevels, 1, 8},
    {"colour/strobeInterval", &AppState.nStrobeInterval, 1, 30},
    {"convert/sourceRateMode", &AppState.nSrcRateMode, 0, 1},
    {"convert/sourceRate", &AppState.nSrcFrameRate, 1, kMax},
    {"convert/timerRateMode", &AppState.nTimerRateMode, 0, 2},
    {"convert/timerRate", &AppState.nTimerFrameRate, 1, kMax},
    {"convert/destinationRateMode", &AppState.nDstRateMode, 0, 1},
    {"convert/destinationRate", &AppState.nDstFrameRate, 1, kMax},
    {"convert/thinning", &AppState.nThinning, 1, 3},
    {"convert/hideWhileConverting", &AppState.bHideWhileConverting, 0, 1},
    {"convert/dvCrop", &AppState.bDvCrop, 0, 1},
    {"convert/soundMode", &AppState.nSoundMode, 0, 4},
    {"convert/applyEffects", &AppState.bApplyEffectsToConversion, 0, 1},
    {"still/applyEffects", &AppState.bApplyEffectsToStills, 0, 1},
    {"convert/soundBitrate", &AppState.nSoundKBitsPerSecond, 32, 320},
    {"playback/soundVolume", &AppState.nSoundVolume, 0, 100},
    {"playback/soundMuted", &AppState.bSoundMuted, 0, 1},
    {"view/positionBar", &AppState.bPositionBar, 0, 1},
};

std::optional<int32_t> InRange(const IChoiceStore& store, const char* pszKey, int32_t nMin,
                               int32_t nMax) {
    const std::optional<int32_t> value = store.Read(pszKey);
    if (value && *value >= nMin && *value <= nMax) {
        return value;
    }
    return std::nullopt;
}

}  // namespace

void RestoreChoices(const IChoiceStore& store, platform::CompressorChoice& compressor) {
    for (const RememberedField& field : kFields) {
        if (const auto value = InRange(store, field.pszKey, field.nMin, field.nMax)) {
            *field.pTarget = *value;
        }
    }
    if (const auto fourcc = store.Read("compressor/fourcc"); fourcc && *fourcc != 0) {
        compressor.nFourCC = static_cast<uint32_t>(*fourcc);
    }
    if (const auto quality = InRange(store, "compressor/quality", -1, 100)) {
        compressor.nQuality = *quality;
    }
    if (const auto every = InRange(store, "compressor/keyFrameEvery", 0, kMax)) {
        compressor.nKeyFrameEvery = *every;
    }
    if (const auto rate = InRange(store, "compressor/dataRateKBps", 0, kMax)) {
        compressor.nDataRateKBps = *rate;
    }
}

void RememberChoices(IChoiceStore& store, const platform::CompressorChoice& compressor) {
    for (const RememberedField& field : kFields) {
        store.Write(field.pszKey, *field.pTarget);
    }
    store.Write("compressor/fourcc", static_cast<int32_t>(compressor.nFourCC));
    store.Write("compressor/quality", compressor.nQuality);
    store.Write("compressor/keyFrameEvery", compressor.nKeyFrameEvery);
    store.Write("compressor/dataRateKBps", compressor.nDataRateKBps);
}
