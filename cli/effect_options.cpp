#include "cli/effect_options.h"

#include <iterator>

#include "cli/arguments.h"
#include "resources/colour_modes.h"
#include "resources/command_line_texts.h"
#include "resources/text_format.h"
#include "state/app_state.h"

namespace cli {

std::string ParseLevels(const std::string& strValue, EffectOptions& options) {
    size_t nStart = 0;
    for (int k = 0; k < 3; ++k) {
        const size_t nComma = strValue.find(',', nStart);
        const bool bLast = k == 2;
        if (bLast != (nComma == std::string::npos)) {
            return str::kCliLevelsThree;
        }
        const auto level = ParseInt(strValue.substr(nStart, nComma - nStart), colour::kLevels.nMin,
                                    colour::kLevels.nMax);
        if (!level) {
            return str::kCliLevelsRange;
        }
        options.levels[k] = level;
        nStart = nComma + 1;
    }
    return "";
}

std::string CheckEffectOptions(const EffectOptions& options) {
    const int32_t nMode = options.mode.value_or(0);
    if (options.levels[0] && !colour::HasLevels(nMode)) {
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
    static_assert(colour::LevelsIndexOf(colour::kModeCount) == std::size(levelsOf));
    const int32_t nMode = options.mode.value_or(0);
    if (!options.levels[0] || !colour::HasLevels(nMode)) {
        return;
    }
    for (int k = 0; k < 3; ++k) {
        levelsOf[colour::LevelsIndexOf(nMode)][k] = *options.levels[k];
    }
}

}  // namespace cli
