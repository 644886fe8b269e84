#include "convert/sound_choice.h"

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

double SoundTempo(const ConvertSettings& s) {
    // The source is read a frame's time per captured frame (whole 100 ns units, as the
    // grabber steps), and one captured frame in `thinning` is written at the destination rate.
    const int32_t nSrc = s.nSrcRateMode == 1 && s.nSrcFrameRate > 0 ? s.nSrcFrameRate : 30;
    const int32_t nDst = s.nDstRateMode == 1 && s.nDstFrameRate > 0 ? s.nDstFrameRate : 30;
    const int64_t llTimePerFrame = 10'000'000 / nSrc;
    return static_cast<double>(nDst) * static_cast<double>(s.nThinning > 0 ? s.nThinning : 1) *
           static_cast<double>(llTimePerFrame) / 1e7;
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
    if (!(dTempo >= platform::kSlowestTempo && dTempo <= platform::kFastestTempo)) {
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
