#include "platform/ffmpeg/picture_converter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/ffmpeg/picture_colours.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

namespace platform {
namespace {

// swscale's fast YUV-to-RGB path converts pixel pairs and leaves the last column of an odd
// width unwritten; the full-chroma path writes every pixel.
int SwsFlagsFor(int nWidth) {
    return (nWidth & 1) != 0 ? SWS_BICUBIC | SWS_FULL_CHR_H_INT | SWS_ACCURATE_RND : SWS_BICUBIC;
}

}  // namespace

// Quarter turns clockwise that show the stream upright, from its display matrix (phones
// record sideways and say so there), read as FFmpeg's own tools read it.
int QuarterTurnsOf(const AVStream* pStream) {
    size_t nSize = 0;
    const uint8_t* pMatrix = av_stream_get_side_data(pStream, AV_PKT_DATA_DISPLAYMATRIX, &nSize);
    if (pMatrix == nullptr || nSize < 9 * sizeof(int32_t)) {
        return 0;
    }
    int32_t matrix[9];
    std::memcpy(matrix, pMatrix, sizeof(matrix));
    double dTheta = -std::round(av_display_rotation_get(matrix));
    if (std::isnan(dTheta)) {
        return 0;
    }
    dTheta -= 360 * std::floor(dTheta / 360 + 0.9 / 360);
    for (int nTurns = 1; nTurns <= 3; ++nTurns) {
        if (std::fabs(dTheta - 90.0 * nTurns) < 1.0) {
            return nTurns;
        }
    }
    return 0;
}

namespace {
// Turns a bottom-up 24-bit picture of w × h by nTurns quarter turns clockwise into pDst
// (bottom-up, rows of nDstRow bytes).
void TurnBgr(const uint8_t* pSrc, int w, int h, size_t nSrcRow, int nTurns, uint8_t* pDst,
             size_t nDstRow) {
    const int nOutW = nTurns == 2 ? w : h;
    const int nOutH = nTurns == 2 ? h : w;
    for (int yOut = 0; yOut < nOutH; ++yOut) {  // counted from the top
        uint8_t* pRow = pDst + static_cast<size_t>(nOutH - 1 - yOut) * nDstRow;
        for (int xOut = 0; xOut < nOutW; ++xOut) {
            int xIn = 0;
            int yIn = 0;  // from the top
            if (nTurns == 1) {
                xIn = yOut;
                yIn = h - 1 - xOut;
            } else if (nTurns == 2) {
                xIn = w - 1 - xOut;
                yIn = h - 1 - yOut;
            } else {
                xIn = w - 1 - yOut;
                yIn = xOut;
            }
            const uint8_t* pPixel =
                pSrc + static_cast<size_t>(h - 1 - yIn) * nSrcRow + static_cast<size_t>(xIn) * 3;
            std::memcpy(pRow + static_cast<size_t>(xOut) * 3, pPixel, 3);
        }
    }
}

// Transposes an 8 × 8 block of bytes held as eight little-endian words (byte j of word c
// is row c, column j): swaps of single bytes, then pairs, then fours, in the words.
static_assert(std::endian::native == std::endian::little, "blocks are read as little-endian words");
inline void Transpose8x8(uint64_t (&a)[8]) {
    for (const int c : {0, 2, 4, 6}) {
        const uint64_t t = ((a[c] >> 8) ^ a[c + 1]) & 0x00FF00FF00FF00FFULL;
        a[c + 1] ^= t;
        a[c] ^= t << 8;
    }
    for (const int c : {0, 1, 4, 5}) {
        const uint64_t t = ((a[c] >> 16) ^ a[c + 2]) & 0x0000FFFF0000FFFFULL;
        a[c + 2] ^= t;
        a[c] ^= t << 16;
    }
    for (const int c : {0, 1, 2, 3}) {
        const uint64_t t = ((a[c] >> 32) ^ a[c + 4]) & 0x00000000FFFFFFFFULL;
        a[c + 4] ^= t;
        a[c] ^= t << 32;
    }
}

// Turns one plane of w × h bytes (rows from the top) by nTurns quarter turns clockwise.
// A quarter turn moves blocks of 8 × 8: eight runs of 8 source bytes, transposed in
// registers, written as eight runs of the output.
void TurnPlane(const uint8_t* pSrc, ptrdiff_t nSrcStride, int w, int h, int nTurns, uint8_t* pDst,
               ptrdiff_t nDstStride) {
    if (nTurns == 2) {
        for (int y = 0; y < h; ++y) {
            const uint8_t* pIn = pSrc + (h - 1 - y) * nSrcStride;
            std::reverse_copy(pIn, pIn + w, pDst + y * nDstStride);
        }
        return;
    }
    // The source pixel shown at (xOut, yOut), x from the left and y from the top.
    auto source = [&](int xOut, int yOut) {
        return nTurns == 1 ? pSrc + (h - 1 - xOut) * nSrcStride + yOut
                           : pSrc + xOut * nSrcStride + (w - 1 - yOut);
    };
    const int nOutW = h;
    const int nOutH = w;
    constexpr int kBlock = 8;
    for (int yOut = 0; yOut < nOutH; yOut += kBlock) {
        const int nRows = std::min(kBlock, nOutH - yOut);
        for (int xOut = 0; xOut < nOutW; xOut += kBlock) {
            const int nCols = std::min(kBlock, nOutW - xOut);
            if (nRows == kBlock && nCols == kBlock) {
                // Output column c of the block is a run of one source row: the first turn
                // reads it forwards from the block's top, the third backwards from its bottom.
                uint64_t block[kBlock];
                for (int c = 0; c < kBlock; ++c) {
                    std::memcpy(
                        &block[c],
                        nTurns == 1 ? source(xOut + c, yOut) : source(xOut + c, yOut + kBlock - 1),
                        kBlock);
                }
                Transpose8x8(block);
                for (int r = 0; r < kBlock; ++r) {
                    std::memcpy(pDst + (yOut + r) * nDstStride + xOut,
                                &block[nTurns == 1 ? r : kBlock - 1 - r], kBlock);
                }
                continue;
            }
            for (int r = 0; r < nRows; ++r) {
                for (int c = 0; c < nCols; ++c) {
                    pDst[(yOut + r) * nDstStride + xOut + c] = *source(xOut + c, yOut + r);
                }
            }
        }
    }
}

}  // namespace

bool TurnPicture(const AVFrame& in, int nQuarterTurns, AVFrame& out) {
    const auto format = static_cast<AVPixelFormat>(in.format);
    const AVPixFmtDescriptor* pDesc = av_pix_fmt_desc_get(format);
    const bool bQuarter = nQuarterTurns % 2 == 1;
    av_frame_unref(&out);
    if (pDesc == nullptr || pDesc->nb_components != 3 ||
        (pDesc->flags & (AV_PIX_FMT_FLAG_PLANAR | AV_PIX_FMT_FLAG_RGB)) != AV_PIX_FMT_FLAG_PLANAR ||
        pDesc->comp[0].depth != 8 || pDesc->comp[1].depth != 8 || pDesc->comp[2].depth != 8 ||
        (bQuarter && pDesc->log2_chroma_w != pDesc->log2_chroma_h) || nQuarterTurns < 1 ||
        nQuarterTurns > 3) {
        return false;
    }
    out.format = format;
    out.width = bQuarter ? in.height : in.width;
    out.height = bQuarter ? in.width : in.height;
    // New buffers each time: the encoder's thread may still hold the last ones. (The
    // allocator hands the same blocks back once they are let go.)
    if (av_frame_get_buffer(&out, 0) < 0 || av_frame_copy_props(&out, &in) < 0) {
        av_frame_unref(&out);
        return false;
    }
    for (int nPlane = 0; nPlane < 3; ++nPlane) {
        const bool bChroma = nPlane > 0;
        const int w = bChroma ? AV_CEIL_RSHIFT(in.width, pDesc->log2_chroma_w) : in.width;
        const int h = bChroma ? AV_CEIL_RSHIFT(in.height, pDesc->log2_chroma_h) : in.height;
        TurnPlane(in.data[nPlane], in.linesize[nPlane], w, h, nQuarterTurns, out.data[nPlane],
                  out.linesize[nPlane]);
    }
    return true;
}

bool PictureConverter::Convert(const AVFrame& picture, const dib::BitmapInfoHeader& header,
                               int nQuarterTurns, uint8_t* pDst, size_t nRowBytes) {
    if (nQuarterTurns == 0) {
        return ConvertUnturned(picture, pDst, nRowBytes, header.biWidth, header.biHeight);
    }
    const int w = nQuarterTurns == 2 ? header.biWidth : header.biHeight;
    const int h = nQuarterTurns == 2 ? header.biHeight : header.biWidth;
    const size_t nRow = dib::RowBytes24(w);
    m_turnBuffer.resize(nRow * static_cast<size_t>(h));
    if (!ConvertUnturned(picture, m_turnBuffer.data(), nRow, w, h)) {
        return false;
    }
    TurnBgr(m_turnBuffer.data(), w, h, nRow, nQuarterTurns, pDst, nRowBytes);
    return true;
}

bool PictureConverter::ConvertUnturned(const AVFrame& picture, uint8_t* pDst, size_t nRowBytes,
                                       int w, int h) {
    if (w % kStoreBlockPixels == 0) {
        // Rows of whole store blocks: written in place, bottom up, as FFmpeg's own
        // conversion gives them, dithering included.
        uint8_t* const dstData[4] = {
            pDst + static_cast<ptrdiff_t>(h - 1) * static_cast<ptrdiff_t>(nRowBytes), nullptr,
            nullptr, nullptr};
        const int dstStride[4] = {-static_cast<int>(nRowBytes), 0, 0, 0};
        return Scale(picture, w, h, AV_PIX_FMT_BGR24, dstData, dstStride);
    }
    // swscale's vector code stores whole blocks of pixels and runs past the end of a row
    // whose width is not a multiple of its block; in a bottom-up frame that lands on the row
    // above, written already. Rows of room to spare take the conversion, top down, and only
    // the picture's own bytes are copied into the frame.
    const size_t nPictureRow = static_cast<size_t>(w) * 3;
    const size_t nStageRow = (nPictureRow + kStoreBlockBytes + 63) & ~size_t{63};  // aligned
    m_stage.resize(nStageRow * static_cast<size_t>(h) + kStoreBlockBytes);
    uint8_t* const stageData[4] = {m_stage.data(), nullptr, nullptr, nullptr};
    const int stageStride[4] = {static_cast<int>(nStageRow), 0, 0, 0};
    if (!Scale(picture, w, h, AV_PIX_FMT_BGR24, stageData, stageStride)) {
        return false;
    }
    for (int y = 0; y < h; ++y) {
        std::memcpy(pDst + static_cast<size_t>(h - 1 - y) * nRowBytes,
                    m_stage.data() + static_cast<size_t>(y) * nStageRow, nPictureRow);
    }
    return true;
}

bool PictureConverter::ConvertToPackedRgb(const AVFrame& picture, AVPixelFormat format,
                                          uint8_t* const dstData[4], const int dstStride[4]) {
    return Scale(picture, picture.width, picture.height, format, dstData, dstStride);
}

bool PictureConverter::Scale(const AVFrame& picture, int w, int h, AVPixelFormat format,
                             uint8_t* const dstData[4], const int dstStride[4]) {
    ScalerCache::Job job;
    job.nSrcW = picture.width;
    job.nSrcH = picture.height;
    job.nSrcFormat = picture.format;
    job.nDstW = w;
    job.nDstH = h;
    job.nDstFormat = format;
    job.nFlags = SwsFlagsFor(picture.width);
    job.nSrcSpace = SwsMatrixOf(picture);
    job.nSrcFullRange = IsFullRange(picture) ? 1 : 0;
    job.nDstFullRange = 1;  // RGB
    SwsContext* pSws = m_scaler.For(job);
    return pSws != nullptr && sws_scale(pSws, picture.data, picture.linesize, 0, picture.height,
                                        dstData, dstStride) > 0;
}

}  // namespace platform
