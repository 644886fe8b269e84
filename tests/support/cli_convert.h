#pragma once
// `quovel --convert` and `quovel --render` run in this process, from a fresh AppState and
// leaving one behind.
#include <sstream>
#include <string>
#include <vector>

#include "cli/convert_command.h"
#include "cli/render_command.h"
#include "state/app_state.h"

namespace testcli {

struct Outcome {
    int nCode;
    std::string strOut;
    std::string strErr;
};

inline Outcome Convert(const std::vector<std::string>& args) {
    ResetAppState();
    std::ostringstream out;
    std::ostringstream err;
    const int nCode = cli::RunConvert(args, out, err);
    ResetAppState();
    return {nCode, out.str(), err.str()};
}

inline Outcome Render(const std::vector<std::string>& args) {
    ResetAppState();
    std::ostringstream out;
    std::ostringstream err;
    const int nCode = cli::RunRender(args, out, err);
    ResetAppState();
    return {nCode, out.str(), err.str()};
}

}  // namespace testcli
