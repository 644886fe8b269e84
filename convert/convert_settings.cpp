#include "convert/convert_settings.h"

#include <cctype>

#include "platform/media_clock.h"
#include "resources/strings.h"
#include "resources/text_format.h"
#include "state/app_state.h"

ConvertSettings LoadConvertSettings() {
    ConvertSettings s;
    s.nSrcRateMode = AppState.nSrcRateMode;
    s.nSrcFrameRate = AppState.nSrcFrameRate;
    s.nTimerRateMode = AppState.nTimerRateMode;
    s.nTimerFrameRate = AppState.nTimerFrameRate;
    s.nDstRateMode = AppState.nDstRateMode;
    s.nDstFrameRate = AppState.nDstFrameRate;
    s.nThinning = AppState.nThinning;
    s.nRangeMode = AppState.nRangeMode;
    s.nRangeStart = AppState.nRangeStart;
    s.nRangeEnd = AppState.nRangeEnd;
    s.bHideWhileConverting = AppState.bHideWhileConverting;
    s.bDvCrop = AppState.bDvCrop;
    s.nSoundMode = AppState.nSoundMode;
    s.bApplyEffects = AppState.bApplyEffectsToConversion;
    s.nSoundKBitsPerSecond = AppState.nSoundKBitsPerSecond;
    return s;
}

std::optional<SettingsProblem> ValidateConvertSettings(const ConvertSettings& s) {
    // A rate of zero or below would divide by zero or run backwards: both are refused.
    if (s.nSrcRateMode == 1 && s.nSrcFrameRate <= 0) {
        return SettingsProblem{str::kBadSourceRate, convert_ids::kSrcRate};
    }
    if (s.nTimerRateMode == 2 && s.nTimerFrameRate <= 0) {
        return SettingsProblem{str::kBadTimerRate, convert_ids::kTimerRate};
    }
    if (s.nDstRateMode == 1 && s.nDstFrameRate <= 0) {
        return SettingsProblem{str::kBadDestinationRate, convert_ids::kDstRate};
    }
    if (s.nRangeMode == 1 &&
        static_cast<uint32_t>(s.nRangeStart) >= static_cast<uint32_t>(s.nRangeEnd)) {
        return SettingsProblem{str::kBadRange, convert_ids::kRangeStartSlider};
    }
    if (s.nSoundKBitsPerSecond < 32 || s.nSoundKBitsPerSecond > 320) {
        return SettingsProblem{str::kBadSoundBitRate, convert_ids::kSoundBitRate};
    }
    return std::nullopt;
}

void ApplyConvertSettings(const ConvertSettings& s, int32_t nStreamLength) {
    AppState.nSrcRateMode = s.nSrcRateMode;
    AppState.nSrcFrameRate = s.nSrcRateMode == 1 ? s.nSrcFrameRate : 30;
    AppState.nTimerRateMode = s.nTimerRateMode;
    AppState.nTimerFrameRate =
        s.nTimerRateMode == 2 ? s.nTimerFrameRate : (s.nTimerRateMode == 1 ? 10 : 30);
    AppState.nDstRateMode = s.nDstRateMode;
    AppState.nDstFrameRate = s.nDstRateMode == 1 ? s.nDstFrameRate : 30;
    AppState.nThinning = s.nThinning;
    AppState.nRangeMode = s.nRangeMode;
    if (s.nRangeMode == 1) {
        AppState.nRangeStart = s.nRangeStart;
        AppState.nRangeEnd = s.nRangeEnd;
    } else {
        AppState.nRangeStart = 0;
        AppState.nRangeEnd = nStreamLength;
    }
    AppState.bHideWhileConverting = s.bHideWhileConverting;
    AppState.bDvCrop = s.bDvCrop;
    AppState.nSoundMode = s.nSoundMode;
    AppState.bApplyEffectsToConversion = s.bApplyEffects;
    AppState.nSoundKBitsPerSecond = s.nSoundKBitsPerSecond;
}

std::string FormatFramePosition(uint32_t nPosition) {
    constexpr auto kPerSecond = static_cast<uint32_t>(platform::kStreamPositionsPerSecond);
    constexpr uint32_t kPerMinute = 60 * kPerSecond;
    return str::Format("%02u:%02u:%02u", nPosition / kPerMinute,
                       nPosition % kPerMinute / kPerSecond, nPosition % kPerSecond);
}

int32_t LeadingNumber(const std::string& strText) {
    const std::string s = strText.substr(0, 31);
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) {
        ++i;
    }
    bool bNegative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        bNegative = s[i] == '-';
        ++i;
    }
    int64_t n = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
        n = std::min<int64_t>(n * 10 + (s[i] - '0'), INT32_MAX);
    }
    return static_cast<int32_t>(bNegative ? -n : n);
}
