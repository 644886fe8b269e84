#include "platform/ffmpeg/encoder_input.h"

#include "platform/ffmpeg/picture_colours.h"

#include <algorithm>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace platform {
namespace {

// Eight-bit YUV with its own plane per component (or NV12's shared chroma plane).
bool IsYuv8(AVPixelFormat format) {
    const AVPixFmtDescriptor* pDesc = av_pix_fmt_desc_get(format);
    if (pDesc == nullptr || pDesc->nb_components < 3 ||
        (pDesc->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM |
                         AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_FLOAT)) != 0 ||
        (pDesc->flags & AV_PIX_FMT_FLAG_PLANAR) == 0) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        if (pDesc->comp[i].depth != 8) {
            return false;
        }
    }
    return true;
}

uint8_t Clamp255(int n) {
    return static_cast<uint8_t>(std::clamp(n, 0, 255));
}

// Rounded division of a possibly negative numerator by a positive denominator.
int RoundDiv(int nNum, int nDen) {
    return nNum >= 0 ? (2 * nNum + nDen) / (2 * nDen) : -((-2 * nNum + nDen) / (2 * nDen));
}

struct RangeTables {
    uint8_t luma[256];
    uint8_t chroma[256];
};

// Studio range (Y 16..235, Cb/Cr 16..240) to full range (0..255) and back, one table per
// plane kind: a lookup per byte, where swscale's general path would filter every row.
RangeTables MakeRangeTables(bool bToFull) {
    RangeTables t;
    for (int n = 0; n < 256; ++n) {
        if (bToFull) {
            t.luma[n] = Clamp255(RoundDiv((n - 16) * 255, 219));
            t.chroma[n] = Clamp255(128 + RoundDiv((n - 128) * 255, 224));
        } else {
            t.luma[n] = Clamp255(16 + RoundDiv(n * 219, 255));
            t.chroma[n] = Clamp255(128 + RoundDiv((n - 128) * 224, 255));
        }
    }
    return t;
}

}  // namespace

bool EncoderInput::Open(int nWidth, int nHeight, AVPixelFormat encoderFormat) {
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_format = encoderFormat;
    m_bYuvTarget = IsYuv8(encoderFormat);
    if (!m_pOwned || !m_pShared) {
        return false;
    }
    m_pOwned->format = encoderFormat;
    m_pOwned->width = nWidth;
    m_pOwned->height = nHeight;
    if (av_frame_get_buffer(m_pOwned.get(), 0) < 0) {
        return false;
    }
    // Same size: swscale converts without resampling (its fast-bilinear mode would shift
    // columns by a fraction of a pixel into a YUV-J format and blur sharp edges).
    m_pFromDib.reset(sws_getContext(nWidth, nHeight, AV_PIX_FMT_BGR24, nWidth, nHeight,
                                    encoderFormat, SWS_BILINEAR, nullptr, nullptr, nullptr));
    return m_pFromDib != nullptr;
}

AVFrame* EncoderInput::FromDib(const uint8_t* pPixels, size_t nRowBytes) {
    if (av_frame_make_writable(m_pOwned.get()) < 0) {
        return nullptr;
    }
    // Read the bottom-up rows from the top row down.
    const uint8_t* srcData[1] = {pPixels + nRowBytes * static_cast<size_t>(m_nHeight - 1)};
    const int srcStride[1] = {-static_cast<int>(nRowBytes)};
    if (sws_scale(m_pFromDib.get(), srcData, srcStride, 0, m_nHeight, m_pOwned->data,
                  m_pOwned->linesize) <= 0) {
        return nullptr;
    }
    return m_pOwned.get();
}

AVFrame* EncoderInput::FromPicture(const AVFrame& picture) {
    const auto source = static_cast<AVPixelFormat>(picture.format);
    // Compressors are given BT.601: only a picture read as BT.601 has its copy's colours.
    if (!m_bYuvTarget || picture.width != m_nWidth || picture.height != m_nHeight ||
        ReadsAsBt709(picture) || !IsYuv8(source)) {
        return nullptr;
    }
    const bool bSourceFull = IsFullRange(picture);
    const bool bTargetFull = IsFullRangeFormat(m_format);
    if (PlainTwin(source) == PlainTwin(m_format) && bSourceFull == bTargetFull) {
        // The same planes: share the decoder's buffers instead of copying them. Only the
        // picture goes along, none of the decoder's notes (picture type, quality) that an
        // encoder would take as orders.
        av_frame_unref(m_pShared.get());
        for (int i = 0; i < AV_NUM_DATA_POINTERS; ++i) {
            if (picture.buf[i] != nullptr) {
                m_pShared->buf[i] = av_buffer_ref(picture.buf[i]);
                if (m_pShared->buf[i] == nullptr) {
                    av_frame_unref(m_pShared.get());
                    return nullptr;
                }
            }
            m_pShared->data[i] = picture.data[i];
            m_pShared->linesize[i] = picture.linesize[i];
        }
        m_pShared->extended_data = m_pShared->data;
        m_pShared->format = m_format;
        m_pShared->width = m_nWidth;
        m_pShared->height = m_nHeight;
        return m_pShared.get();
    }
    if (PlainTwin(source) == PlainTwin(m_format)) {
        return RemapRange(picture, bTargetFull);
    }
    m_pFromYuv.reset(sws_getCachedContext(m_pFromYuv.release(), picture.width, picture.height,
                                          source, m_nWidth, m_nHeight, m_format, SWS_BICUBIC,
                                          nullptr, nullptr, nullptr));
    if (!m_pFromYuv) {
        return nullptr;
    }
    const int nRangeKey = (bSourceFull ? 2 : 0) + (bTargetFull ? 1 : 0);
    if (m_pFromYuv.get() != m_pConfigured || nRangeKey != m_nRangeKey) {
        const int* pMatrix = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(m_pFromYuv.get(), pMatrix, bSourceFull ? 1 : 0, pMatrix,
                                 bTargetFull ? 1 : 0, 0, 1 << 16, 1 << 16);
        m_pConfigured = m_pFromYuv.get();
        m_nRangeKey = nRangeKey;
    }
    if (av_frame_make_writable(m_pOwned.get()) < 0 ||
        sws_scale(m_pFromYuv.get(), picture.data, picture.linesize, 0, picture.height,
                  m_pOwned->data, m_pOwned->linesize) <= 0) {
        return nullptr;
    }
    return m_pOwned.get();
}

AVFrame* EncoderInput::RemapRange(const AVFrame& picture, bool bToFull) {
    static const RangeTables kToFull = MakeRangeTables(true);
    static const RangeTables kToStudio = MakeRangeTables(false);
    const RangeTables& tables = bToFull ? kToFull : kToStudio;
    const AVPixFmtDescriptor* pDesc = av_pix_fmt_desc_get(m_format);
    if (pDesc == nullptr || av_frame_make_writable(m_pOwned.get()) < 0) {
        return nullptr;
    }
    for (int nPlane = 0; nPlane < 3; ++nPlane) {
        const bool bChroma = nPlane > 0;
        const int w = bChroma ? AV_CEIL_RSHIFT(m_nWidth, pDesc->log2_chroma_w) : m_nWidth;
        const int h = bChroma ? AV_CEIL_RSHIFT(m_nHeight, pDesc->log2_chroma_h) : m_nHeight;
        const uint8_t* pTable = bChroma ? tables.chroma : tables.luma;
        for (int y = 0; y < h; ++y) {
            const uint8_t* pSrc =
                picture.data[nPlane] + static_cast<ptrdiff_t>(y) * picture.linesize[nPlane];
            uint8_t* pDst =
                m_pOwned->data[nPlane] + static_cast<ptrdiff_t>(y) * m_pOwned->linesize[nPlane];
            for (int x = 0; x < w; ++x) {
                pDst[x] = pTable[pSrc[x]];
            }
        }
    }
    return m_pOwned.get();
}

}  // namespace platform
