#pragma once
// The conversion settings as the settings dialog edits them: a working copy, its
// checks and how it is applied to AppState.
#include <cstdint>
#include <optional>
#include <string>

#include "resources/convert_dialog.h"  // the control ids a problem names

struct ConvertSettings {
    int32_t nSrcRateMode = 0;
    int32_t nSrcFrameRate = 30;
    int32_t nTimerRateMode = 1;
    int32_t nTimerFrameRate = 10;
    int32_t nDstRateMode = 0;
    int32_t nDstFrameRate = 30;
    int32_t nThinning = 1;
    int32_t nRangeMode = 0;
    int32_t nRangeStart = 0;
    int32_t nRangeEnd = 0;
    int32_t bHideWhileConverting = 0;
    int32_t bDvCrop = 0;
    // The sound group: a platform::SoundMode and MP3's bit rate.
    int32_t nSoundMode = 1;
    int32_t nSoundKBitsPerSecond = 192;
    // Each written frame goes through the colour mode in force (off: as decoded).
    int32_t bApplyEffects = 0;
};

// The settings as AppState holds them now.
ConvertSettings LoadConvertSettings();

// What OnOK refuses: the first failing check's message and the control to focus.
struct SettingsProblem {
    const char* pszMessage;
    int nFocusId;
};
// Checks in order: source rate, timer rate, destination rate (each only when its own value is
// chosen; zero or negative is refused), then the range (start before end), then MP3's bit
// rate (32..320 kb/s).
std::optional<SettingsProblem> ValidateConvertSettings(const ConvertSettings& s);

// Writes the working copy into AppState: each rate as its mode says, the range as chosen or
// the whole stream (0 .. nStreamLength).
void ApplyConvertSettings(const ConvertSettings& s, int32_t nStreamLength);

// "%02d:%02d:%02d": minutes, seconds and thirtieths of a stream position.
std::string FormatFramePosition(uint32_t nPosition);

// The decimal number at the start of an edit's text (its first 31 characters), with an
// optional sign; 0 when there is none ("12abc" is 12).
int32_t LeadingNumber(const std::string& strText);
