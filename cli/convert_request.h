#pragma once
// What `quovel --convert` is asked to do, read from its command line.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cli/effect_options.h"
#include "convert/convert_settings.h"
#include "platform/compressor.h"

namespace cli {

struct ConvertRequest {
    std::string strSource;
    std::string strDest;
    ConvertSettings settings;
    platform::CompressorChoice choice;
    bool bMaxRate = true;
    bool bNoClobber = false;
    std::optional<std::pair<int32_t, int32_t>> range;
    EffectOptions effects;  // with a mode, the frames written go through it
};

// The options of --convert, in the order its usage lists them.
std::span<const OptionDef<ConvertRequest>> ConvertOptions();
// What `quovel --convert --help` prints.
std::string ConvertUsage();

// Fills the request from the words; an error message, or "" when they are good.
std::string ParseConvertRequest(const std::vector<std::string>& args, ConvertRequest& r);

}  // namespace cli
