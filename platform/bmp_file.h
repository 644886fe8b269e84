#pragma once
// Writing an image block (BMP layout in memory) out as a .bmp file.
#include <cstdint>
#include <string>

namespace platform {

// Fills the block's 14-byte file header and writes header and pixels (54 + biSizeImage
// bytes) to strPath, as WriteFileReplacing (platform/replaced_file.h) does.
bool WriteBmpBlock(const std::string& strPath, uint8_t* pBlock, std::string* pstrWhy = nullptr);

}  // namespace platform
