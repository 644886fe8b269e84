#pragma once
// The colour-mode options --render and --convert share: --mode, --levels A,B,C, --mosaic,
// --paint, --strobe (and, for --render, --strobe-count).
#include <cstdint>
#include <optional>
#include <string>

namespace cli {

struct EffectOptions {
    std::optional<int32_t> mode;
    std::optional<int32_t> levels[3];
    std::optional<int32_t> mosaic;
    std::optional<int32_t> paint;
    std::optional<int32_t> strobe;
    std::optional<int32_t> strobeCount;
};

// --levels' value, "A,B,C": "" when good, or what is wrong.
std::string ParseLevels(const std::string& strValue, EffectOptions& options);

// What is wrong with the options together, or "": --levels needs a mode with levels (a mode
// not given is 0).
std::string CheckEffectOptions(const EffectOptions& options);
// Puts the options given into AppState: the mode, its settings, and the levels of the mode.
// For options CheckEffectOptions passed.
void ApplyEffectOptions(const EffectOptions& options);

}  // namespace cli
