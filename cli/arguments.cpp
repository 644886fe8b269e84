#include "cli/arguments.h"

#include <charconv>
#include <filesystem>

#include "resources/strings.h"

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

namespace cli {

std::string AboutFile(const std::string& strWhat, const std::string& strFile,
                      const std::string& strWhy) {
    return strWhat + " (" + strFile + (strWhy.empty() ? "" : ": " + strWhy) + ")";
}

std::string NotAFileReason(const std::string& strPath) {
    std::error_code ec;
    const auto status = std::filesystem::status(strPath, ec);
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) {
        return {};
    }
    return std::filesystem::is_directory(status) ? str::kReasonFolder : str::kReasonNotAFile;
}

std::string OnOneLine(const std::string& strMessage) {
    const size_t nBreak = strMessage.find('\n');
    if (nBreak == std::string::npos) {
        return strMessage;
    }
    return strMessage.substr(0, nBreak) + " (" + strMessage.substr(nBreak + 1) + ")";
}

}  // namespace cli
