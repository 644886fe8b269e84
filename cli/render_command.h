#pragma once
// quovel --render: the picture the view would show for one frame of a file, as a BMP.
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "cli/effect_options.h"

namespace cli {

// args are the words after "--render". Returns the process exit code; errors go to err as
// one line.
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct RenderRequest {
    std::string strSource;
    std::string strOut;
    int32_t nFrame = -1;
    EffectOptions effects;
};

// The options of --render, in the order its usage lists them.
std::span<const OptionDef<RenderRequest>> RenderOptions();
// What `quovel --render --help` prints.
std::string RenderUsage();

}  // namespace cli
