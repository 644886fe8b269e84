#pragma once
// Replacing a file whole: a still, the settings file.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Writes nBytes to strPath through a temporary file of its own renamed into place, so that a
// failure never leaves a half-written file under the name. A link is written through (or,
// with bThroughLinks false, replaced by the file: its target is left alone); a file
// replaced keeps its permissions; what is not a regular file (a device, a FIFO, a folder) is
// never replaced. False when anything fails, with the reason in *pstrWhy.
bool WriteFileReplacing(const std::string& strPath, const uint8_t* pBytes, size_t nBytes,
                        std::string* pstrWhy = nullptr, bool bThroughLinks = true);

// Where strPath is a link, replaces it by a file holding what the link pointed at (nothing
// when it pointed nowhere), leaving the target alone; anything else is left as it is. False
// when the replacing fails, with the reason in *pstrWhy.
bool ReplaceLinkByItsContent(const std::string& strPath, std::string* pstrWhy = nullptr);

// Why strPath cannot be written to (the system's words: "Is a directory", "Permission
// denied"), or nothing when it can.
std::string WhyNotWritable(const std::string& strPath);

}  // namespace platform
