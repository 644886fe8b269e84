#include "platform/bmp_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/dib.h"

namespace platform {

bool WriteBmpBlock(const std::string& strPath, uint8_t* pBlock) {
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

    const std::string strTemp = strPath + ".part";
    std::FILE* pFile = std::fopen(strTemp.c_str(), "wb");
    if (pFile == nullptr) {
        return false;
    }
    const bool bWritten = std::fwrite(pBlock, 1, nFileBytes, pFile) == nFileBytes;
    const bool bClosed = std::fclose(pFile) == 0;
    if (!bWritten || !bClosed || std::rename(strTemp.c_str(), strPath.c_str()) != 0) {
        ::unlink(strTemp.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
