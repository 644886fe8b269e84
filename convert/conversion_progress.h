#pragma once
// How far a running conversion is, for a person: the share of the range done and the time
// it will still take at the pace so far.
#include <cstdint>
#include <string>

struct ConversionProgress {
    int nPercent = 0;       // 0..100
    int nSecondsLeft = -1;  // -1 while there is no pace to go by yet
};

// nDone of nTotal positions processed in llElapsedMs of wall time.
ConversionProgress WorkOutProgress(int64_t nDone, int64_t nTotal, int64_t llElapsedMs);
// "42%  残り 1:05" (or "残り 1:02:03"); the percentage alone while the time is unknown.
std::string FormatProgressBar(const ConversionProgress& progress);
// The positions a conversion of the current range processes (both ends included).
int64_t ConversionPositions();
