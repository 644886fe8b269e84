#include "platform/bmp_file.h"

#include <cstring>

#include "platform/dib.h"
#include "platform/replaced_file.h"

namespace platform {

bool WriteBmpBlock(const std::string& strPath, uint8_t* pBlock, std::string* pstrWhy) {
    dib::BitmapInfoHeader header;
    std::memcpy(&header, pBlock + dib::kInfoHeaderOffset, sizeof(header));
    if (header.biSizeImage == 0 && header.biBitCount == 24 && header.biWidth > 0 &&
        header.biHeight > 0) {
        // Uncompressed formats may leave the size out: work it out from the padded rows.
        header.biSizeImage = static_cast<uint32_t>(dib::RowBytes24(header.biWidth) *
                                                   static_cast<size_t>(header.biHeight));
        std::memcpy(pBlock + dib::kInfoHeaderOffset, &header, sizeof(header));
    }
    const uint32_t nFileBytes = static_cast<uint32_t>(dib::kPixelOffset) + header.biSizeImage;
    const uint32_t nOffBits = static_cast<uint32_t>(dib::kPixelOffset);
    pBlock[0] = 'B';
    pBlock[1] = 'M';
    std::memcpy(pBlock + 2, &nFileBytes, 4);
    std::memset(pBlock + 6, 0, 4);
    std::memcpy(pBlock + 10, &nOffBits, 4);

    return WriteFileReplacing(strPath, pBlock, nFileBytes, pstrWhy);
}

}  // namespace platform
