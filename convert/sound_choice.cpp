#include "convert/sound_choice.h"

#include <algorithm>

#include "resources/strings.h"

using platform::SoundMode;

std::vector<SoundMode> SoundChoices(const platform::SoundSource& source) {
    if (source.bCopyable) {
        return {SoundMode::None, SoundMode::Copy, SoundMode::Mp3, SoundMode::Pcm};
    }
    return {SoundMode::None, SoundMode::Mp3, SoundMode::Pcm};
}

SoundMode ShownSoundChoice(int32_t nSoundMode, const platform::SoundSource& source) {
    const auto mode = static_cast<SoundMode>(nSoundMode);
    if (mode == SoundMode::Keep || (mode == SoundMode::Copy && !source.bCopyable)) {
        return source.bCopyable ? SoundMode::Copy : SoundMode::Mp3;
    }
    return mode;
}

int32_t SoundModeChosen(SoundMode choice) {
    // そのまま is offered only where the sound can be copied; kept as "keep", a later source
    // whose sound cannot be copied, or a change of speed, gets MP3 rather than no sound.
    return static_cast<int32_t>(choice == SoundMode::Copy ? SoundMode::Keep : choice);
}

double SoundTempo(int32_t nDstFrameRate, int32_t nThinning, int64_t llTimePerFrame) {
    return static_cast<double>(nDstFrameRate) * static_cast<double>(std::max(nThinning, 1)) *
           static_cast<double>(llTimePerFrame) / 1e7;
}

double SoundTempo(const ConvertSettings& s) {
    const int32_t nSrc = s.nSrcRateMode == 1 && s.nSrcFrameRate > 0 ? s.nSrcFrameRate : 30;
    const int32_t nDst = s.nDstRateMode == 1 && s.nDstFrameRate > 0 ? s.nDstFrameRate : 30;
    return SoundTempo(nDst, s.nThinning, 10'000'000 / nSrc);  // whole units, as the grabber steps
}

const char* SoundNote(const ConvertSettings& s, const platform::SoundSource& source) {
    if (!source.bHasSound) {
        return str::kSoundAbsent;
    }
    const auto mode = static_cast<SoundMode>(s.nSoundMode);
    if (mode == SoundMode::None) {
        return nullptr;
    }
    const double dTempo = SoundTempo(s);
    if (!platform::CanStretchTo(dTempo)) {
        return str::kSoundTempoTooFar;
    }
    if (!platform::PlaysAtRecordedSpeed(dTempo)) {
        if (mode == SoundMode::Copy) {
            return str::kSoundCopyTempo;
        }
        if (mode == SoundMode::Keep && source.bCopyable) {
            return str::kSoundKeptAsMp3;
        }
    }
    return nullptr;
}
