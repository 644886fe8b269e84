// quovel --list-codecs: the compressors an AVI can be written with here, at a size.
#include <ostream>

#include "cli/arguments.h"
#include "cli/convert_command.h"
#include "platform/compressor.h"
#include "resources/command_line_texts.h"

namespace cli {

int RunListCodecs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int w = 320;
    int h = 240;
    if (args.size() == 2 && args[0] == "--size") {
        const size_t x = args[1].find('x');
        const auto pw =
            x == std::string::npos ? std::nullopt : ParseInt(args[1].substr(0, x), 1, 16384);
        const auto ph =
            x == std::string::npos ? std::nullopt : ParseInt(args[1].substr(x + 1), 1, 16384);
        if (!pw || !ph) {
            err << "quovel --list-codecs: " << str::kCliSize << "\n";
            return 2;
        }
        w = *pw;
        h = *ph;
    } else if (!args.empty()) {
        err << "quovel --list-codecs: usage: quovel --list-codecs [--size WxH]\n";
        return 2;
    }
    for (const platform::CompressorInfo& info : platform::ListCompressors(w, h)) {
        out << platform::FourCCText(info.nFourCC) << "  " << info.strName << "\n";
    }
    return 0;
}

}  // namespace cli
