#pragma once
// Device-independent bitmap layout: image blocks are BMP files held in memory.
#include <cstddef>
#include <cstdint>

namespace dib {

#pragma pack(push, 2)
struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // positive: rows bottom-up
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 24;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40);

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderOffset = 14;
constexpr size_t kPixelOffset = 54;

// Bytes of one 24-bit row, padded to a multiple of 4 as bitmaps require.
constexpr size_t RowBytes24(int32_t nWidth) {
    return (static_cast<size_t>(nWidth) * 3 + 3) & ~static_cast<size_t>(3);
}

// The document's image blocks hold width × height × 4 bytes and this much more: room for the
// headers and colour table ahead of the pixels, and for a 24-bit frame's row padding.
constexpr int64_t kBlockOverhead = 4154;
constexpr int64_t ImageBlockBytes(int32_t nWidth, int32_t nHeight) {
    return static_cast<int64_t>(nWidth) * nHeight * 4 + kBlockOverhead;
}

inline BitmapInfoHeader MakeHeader24(int32_t nWidth, int32_t nHeight) {
    BitmapInfoHeader h;
    h.biWidth = nWidth;
    h.biHeight = nHeight;
    h.biSizeImage = static_cast<uint32_t>(RowBytes24(nWidth) * static_cast<size_t>(nHeight));
    return h;
}

}  // namespace dib
