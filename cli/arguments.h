#pragma once
// Reading the command line's numbers.
#include <cstdint>
#include <optional>
#include <string>

namespace cli {

// The whole text as a decimal number within [nMin, nMax]; nothing otherwise.
std::optional<int32_t> ParseInt(const std::string& strText, int32_t nMin, int32_t nMax);

}  // namespace cli
