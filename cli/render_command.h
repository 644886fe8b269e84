#pragma once
// quovel --render: the picture the view would show for one frame of a file, as a BMP.
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// args are the words after "--render". Returns the process exit code; errors go to err as
// one line.
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kRenderUsage;

}  // namespace cli
