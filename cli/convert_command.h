#pragma once
// quovel --convert and --list-codecs: the window's conversion without a window.
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// What --no-clobber returns when DEST is there already (and left alone).
inline constexpr int kExitDestinationTaken = 3;
// Written, but source frames that did not decode are the frame before them in DEST, or
// sound that could not be copied as it is was left out: a message says which.
inline constexpr int kExitFramesReplaced = 4;

// args: the words after "--convert". Exit code; problems as one line on err, progress on err.
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// args: the words after "--list-codecs".
int RunListCodecs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
