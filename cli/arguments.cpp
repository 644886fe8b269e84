#include "cli/arguments.h"

#include <charconv>

namespace cli {

std::optional<int32_t> ParseInt(const std::string& strText, int32_t nMin, int32_t nMax) {
    int32_t n = 0;
    const char* pEnd = strText.data() + strText.size();
    const auto [ptr, ec] = std::from_chars(strText.data(), pEnd, n);
    if (ec != std::errc() || ptr != pEnd || n < nMin || n > nMax) {
        return std::nullopt;
    }
    return n;
}

}  // namespace cli
