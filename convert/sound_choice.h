#pragma once
// The sound group of the conversion settings: the choices it lists for a source, the one it
// shows for the remembered setting, and what it says under them.
#include <vector>

#include "convert/convert_settings.h"
#include "platform/sound_plan.h"

// なし, そのまま (only when an AVI takes the source's sound as it is), MP3, 無圧縮 PCM.
std::vector<platform::SoundMode> SoundChoices(const platform::SoundSource& source);

// The choice shown for a setting: "keep" shows as そのまま where the sound can be copied,
// else as MP3. Choosing そのまま in the list stores "keep" (SoundModeChosen).
platform::SoundMode ShownSoundChoice(int32_t nSoundMode, const platform::SoundSource& source);

// The setting stored for a choice made in the list.
int32_t SoundModeChosen(platform::SoundMode choice);

// Source seconds played per written second: one captured frame in nThinning is written at
// nDstFrameRate, and each captured frame moves llTimePerFrame (100 ns units) in the source.
double SoundTempo(int32_t nDstFrameRate, int32_t nThinning, int64_t llTimePerFrame);
// The same for settings not yet applied (the grabber's step from their source rate).
double SoundTempo(const ConvertSettings& s);

// What the group says: why no sound will be written, or null when it will be.
const char* SoundNote(const ConvertSettings& s, const platform::SoundSource& source);
