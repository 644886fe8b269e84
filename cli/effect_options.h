#pragma once
// The colour-mode options --render and --convert share: --mode, --levels A,B,C, --mosaic,
// --paint, --strobe (and, for --render, --strobe-count).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/option_table.h"
#include "resources/colour_modes.h"

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

// The rows of the option tables for a mode's settings, the same in every command whose
// request has `effects`.
template <class Request>
inline constexpr OptionDef<Request> kLevelsOption{
    "--levels",
    "A,B,C",
    "the three levels of modes 3, 4 and 5, each -255..255",
    0,
    0,
    nullptr,
    [](Request& r, const std::vector<std::string>& values) {
        return ParseLevels(values[0], r.effects);
    }};
template <class Request>
inline constexpr OptionDef<Request> kMosaicOption{
    "--mosaic",
    "N",
    "mosaic block size (default 4)",
    colour::kMosaicSizes.nMin,
    colour::kMosaicSizes.nMax,
    [](Request& r, int32_t n) { r.effects.mosaic = n; }};
template <class Request>
inline constexpr OptionDef<Request> kPaintOption{
    "--paint",
    "N",
    "paint levels (default 3)",
    colour::kPaintLevels.nMin,
    colour::kPaintLevels.nMax,
    [](Request& r, int32_t n) { r.effects.paint = n; }};
template <class Request>
inline constexpr OptionDef<Request> kStrobeOption{
    "--strobe",
    "N",
    "strobe interval (default 5)",
    colour::kStrobeIntervals.nMin,
    colour::kStrobeIntervals.nMax,
    [](Request& r, int32_t n) { r.effects.strobe = n; }};

// What is wrong with the options together, or "": --levels needs a mode with levels (a mode
// not given is 0).
std::string CheckEffectOptions(const EffectOptions& options);
// Puts the options given into AppState: the mode, its settings, and the levels of the mode.
// For options CheckEffectOptions passed.
void ApplyEffectOptions(const EffectOptions& options);

}  // namespace cli
