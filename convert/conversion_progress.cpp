#include "convert/conversion_progress.h"

#include <algorithm>
#include <cstdio>

#include "state/app_state.h"

ConversionProgress WorkOutProgress(int64_t nDone, int64_t nTotal, int64_t llElapsedMs) {
    ConversionProgress progress;
    if (nTotal <= 0) {
        return progress;
    }
    nDone = std::clamp<int64_t>(nDone, 0, nTotal);
    progress.nPercent = static_cast<int>(nDone * 100 / nTotal);
    // A few frames give no pace worth showing; the estimate rounds up to whole seconds.
    if (nDone >= 2 && llElapsedMs > 0) {
        const int64_t llLeftMs = llElapsedMs * (nTotal - nDone) / nDone;
        progress.nSecondsLeft = static_cast<int>((llLeftMs + 999) / 1000);
    }
    return progress;
}

std::string FormatProgressBar(const ConversionProgress& progress) {
    char sz[64];
    const int s = progress.nSecondsLeft;
    if (s < 0) {
        std::snprintf(sz, sizeof(sz), "%d%%", progress.nPercent);
    } else if (s < 3600) {
        std::snprintf(sz, sizeof(sz), "%d%%  残り %d:%02d", progress.nPercent, s / 60, s % 60);
    } else {
        std::snprintf(sz, sizeof(sz), "%d%%  残り %d:%02d:%02d", progress.nPercent, s / 3600,
                      (s % 3600) / 60, s % 60);
    }
    return sz;
}

int64_t ConversionPositions() {
    return static_cast<int64_t>(AppState.nRangeEnd) - AppState.nRangeStart + 1;
}
