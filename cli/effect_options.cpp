#include "cli/effect_options.h"

#include "cli/arguments.h"
#include "resources/command_line_texts.h"
#include "resources/text_format.h"
#include "state/app_state.h"

namespace cli {

namespace {
std::string ParseLevels(const std::string& strValue, EffectOptions& options) {
    size_t nStart = 0;
    for (int k = 0; k < 3; ++k) {
        const size_t nComma = strValue.find(',', nStart);
        const bool bLast = k == 2;
        if (bLast != (nComma == std::string::npos)) {
            return str::kCliLevelsThree;
        }
        const auto level = ParseInt(strValue.substr(nStart, nComma - nStart), -255, 255);
        if (!level) {
            return str::kCliLevelsRange;
        }
        options.levels[k] = level;
        nStart = nComma + 1;
    }
    return "";
}
}  // namespace

std::optional<std::string> ParseEffectOption(const std::string& strArg, const std::string& strValue,
                                             bool bStrobeCount, EffectOptions& options) {
    if (strArg == "--levels") {
        return ParseLevels(strValue, options);
    }
    struct Range {
        const char* pszName;
        int32_t nMin;
        int32_t nMax;
        std::optional<int32_t>* pTarget;
    };
    const Range ranges[] = {
        {"--mode", 0, 9, &options.mode},
        {"--mosaic", 1, 32, &options.mosaic},
        {"--paint", 1, 8, &options.paint},
        {"--strobe", 1, 30, &options.strobe},
        {"--strobe-count", 0, INT32_MAX, bStrobeCount ? &options.strobeCount : nullptr},
    };
    for (const Range& range : ranges) {
        if (strArg != range.pszName || range.pTarget == nullptr) {
            continue;
        }
        const auto value = ParseInt(strValue, range.nMin, range.nMax);
        if (!value) {
            return str::Format(str::kCliNotInRange, strArg.c_str(), strValue.c_str(), range.nMin,
                               range.nMax);
        }
        *range.pTarget = value;
        return "";
    }
    return std::nullopt;
}

std::string CheckEffectOptions(const EffectOptions& options) {
    const int32_t nMode = options.mode.value_or(0);
    if (options.levels[0] && (nMode < 3 || nMode > 5)) {
        return str::kCliLevelsModes;
    }
    return "";
}

void ApplyEffectOptions(const EffectOptions& options) {
    if (options.mode) {
        AppState.nColorMode = *options.mode;
    }
    if (options.mosaic) {
        AppState.nMosaicSize = *options.mosaic;
    }
    if (options.paint) {
        AppState.nPaintLevels = *options.paint;
    }
    if (options.strobe) {
        AppState.nStrobeInterval = *options.strobe;
    }
    if (options.strobeCount) {
        AppState.nStrobeCount = *options.strobeCount;
    }
    int32_t* const levelsOf[] = {AppState.nRgbLevel, AppState.nYuvLevel, AppState.nHsvLevel};
    const int32_t nMode = options.mode.value_or(0);
    if (!options.levels[0] || nMode < 3 || nMode > 5) {
        return;
    }
    for (int k = 0; k < 3; ++k) {
        levelsOf[nMode - 3][k] = *options.levels[k];
    }
}

}  // namespace cli
