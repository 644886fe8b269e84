#pragma once
// Writing an image block (BMP layout in memory) out as a .bmp file.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Writes nBytes to strPath through a temporary file of its own renamed into place, so that a
// failure never leaves a half-written file under the name. A link is written through; a
// file replaced keeps its permissions; what is not a regular file (a device, a FIFO, a
// folder) is never replaced. False when anything fails, with the reason in *pstrWhy.
bool WriteFileReplacing(const std::string& strPath, const uint8_t* pBytes, size_t nBytes,
                        std::string* pstrWhy = nullptr);

// Fills the block's 14-byte file header and writes header and pixels (54 + biSizeImage
// bytes) to strPath, as WriteFileReplacing does.
bool WriteBmpBlock(const std::string& strPath, uint8_t* pBlock, std::string* pstrWhy = nullptr);

}  // namespace platform
