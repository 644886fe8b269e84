#pragma once
// Reading the command line's numbers, and writing its messages.
#include <cstdint>
#include <optional>
#include <string>

namespace cli {

// The whole text as a decimal number within [nMin, nMax]; nothing otherwise.
std::optional<int32_t> ParseInt(const std::string& strText, int32_t nMin, int32_t nMax);

// A message about a file, on one line: "WHAT (FILE: WHY)", or "WHAT (FILE)" without a reason.
std::string AboutFile(const std::string& strWhat, const std::string& strFile,
                      const std::string& strWhy = {});

// Why strPath, which is to be written, cannot be: it is there and is a folder, or something
// else that is not a regular file (a device, a FIFO). Empty when it may be written.
std::string NotAFileReason(const std::string& strPath);

// A window's message ("WHAT", then "FILE: WHY" on a line of its own) on one line:
// "WHAT (FILE: WHY)".
std::string OnOneLine(const std::string& strMessage);

}  // namespace cli
