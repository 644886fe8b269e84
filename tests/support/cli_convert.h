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

// A command (cli::RunConvert, cli::RunRender) run on args.
inline Outcome Run(int (*pCommand)(const std::vector<std::string>&, std::ostream&, std::ostream&),
                   const std::vector<std::string>& args) {
    ResetAppState();
    std::ostringstream out;
    std::ostringstream err;
    const int nCode = pCommand(args, out, err);
    ResetAppState();
    return {nCode, out.str(), err.str()};
}

inline Outcome Convert(const std::vector<std::string>& args) {
    return Run(cli::RunConvert, args);
}

inline Outcome Render(const std::vector<std::string>& args) {
    return Run(cli::RunRender, args);
}

}  // namespace testcli
