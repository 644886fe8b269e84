#pragma once
// Writing an image block (BMP layout in memory) out as a .bmp file.
#include <cstdint>
#include <string>

namespace platform {

// Fills the block's 14-byte file header and writes header and pixels (54 + biSizeImage
// bytes) to strPath, through a temporary file renamed into place, so that a failure never
// leaves a half-written file under the name. False when anything fails.
bool WriteBmpBlock(const std::string& strPath, uint8_t* pBlock);

}  // namespace platform
