#pragma once
// The twelve conversion settings as the settings dialog edits them: a working copy, its
// checks and how it is applied to AppState.
#include <cstdint>
#include <optional>
#include <string>

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
};

// The settings as AppState holds them now.
ConvertSettings LoadConvertSettings();

// What OnOK refuses: the first failing check's message and the control to focus.
struct SettingsProblem {
    const char* pszMessage;
    int nFocusId;
};
// Checks in order: source rate, timer rate, destination rate (each only when its own value is
// chosen; zero or negative is refused), then the range (start before end).
std::optional<SettingsProblem> ValidateConvertSettings(const ConvertSettings& s);

// Writes the working copy into AppState: each rate as its mode says, the range as chosen or
// the whole stream (0 .. nStreamLength).
void ApplyConvertSettings(const ConvertSettings& s, int32_t nStreamLength);

// "%02d:%02d:%02d": minutes, seconds and frames at 30 frames a second.
std::string FormatFramePosition(uint32_t nFrame);

// The decimal number at the start of an edit's text (its first 31 characters), with an
// optional sign; 0 when there is none ("12abc" is 12).
int32_t LeadingNumber(const std::string& strText);

namespace convert_ids {
constexpr int kWidth = 1010;
constexpr int kHeight = 1011;
constexpr int kLength = 1012;
constexpr int kHandler = 1013;
constexpr int kCodecName = 1014;
constexpr int kSourceFile = 1015;
constexpr int kTimer30 = 1016;
constexpr int kTimer10 = 1017;
constexpr int kTimerUser = 1018;
constexpr int kTimerRate = 1019;
constexpr int kDst30 = 1020;
constexpr int kDstUser = 1021;
constexpr int kDstRate = 1022;
constexpr int kRangeWhole = 1023;
constexpr int kRangeChosen = 1024;
constexpr int kRangeStartSlider = 1025;
constexpr int kRangeStartText = 1026;
constexpr int kRangeEndSlider = 1027;
constexpr int kRangeEndText = 1028;
constexpr int kSrc30 = 1029;
constexpr int kSrcUser = 1030;
constexpr int kSrcRate = 1031;
constexpr int kDestFile = 1032;
constexpr int kFormat = 1033;
constexpr int kThin1 = 1034;
constexpr int kThin2 = 1035;
constexpr int kThin3 = 1036;
constexpr int kHide = 1037;
constexpr int kDvCrop = 1038;
}  // namespace convert_ids
