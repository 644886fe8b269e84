#include "platform/ffmpeg/encoder_input.h"

#include "platform/ffmpeg/bgr_to_yuv.h"

#include "platform/ffmpeg/picture_colours.h"
#include "platform/kernel_clones.h"

#include <algorithm>
#include <cmath>

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

// Packed 8-bit RGB with or without a padding byte: the 24-bit frame's colours, laid out
// otherwise.
bool IsPackedRgb8(AVPixelFormat format) {
    switch (format) {
        case AV_PIX_FMT_BGR24:
        case AV_PIX_FMT_RGB24:
        case AV_PIX_FMT_BGR0:
        case AV_PIX_FMT_RGB0:
        case AV_PIX_FMT_0BGR:
        case AV_PIX_FMT_0RGB:
            return true;
        default:
            return false;
    }
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

// YUV of one matrix to YUV of the other (BT.709 and BT.601), with either range on either
// side, as the colours the 24-bit copy shows would convert: the matrix change is linear, so
// luma takes a share of the chroma and each chroma component a mix of both, and no value has
// to pass through RGB. Integer weights in units of 1/65536, the rounding folded into the bias.
struct MatrixWeights {
    int32_t yY, yCb, yCr, yBias;
    int32_t cbCb, cbCr, cbBias;
    int32_t crCb, crCr, crBias;
};

MatrixWeights MakeMatrixWeights(bool bToBt709, bool bSourceFull, bool bTargetFull) {
    const double krIn = bToBt709 ? 0.299 : 0.2126;
    const double kbIn = bToBt709 ? 0.114 : 0.0722;
    const double krOut = bToBt709 ? 0.2126 : 0.299;
    const double kbOut = bToBt709 ? 0.0722 : 0.114;
    // Normalised (y, pb, pr) of the source to the target's, through R, G, B.
    auto convert = [&](double y, double pb, double pr, double(&result)[3]) {
        const double r = y + 2 * (1 - krIn) * pr;
        const double b = y + 2 * (1 - kbIn) * pb;
        const double g = (y - krIn * r - kbIn * b) / (1 - krIn - kbIn);
        const double y2 = krOut * r + (1 - krOut - kbOut) * g + kbOut * b;
        result[0] = y2;
        result[1] = (b - y2) / (2 * (1 - kbOut));
        result[2] = (r - y2) / (2 * (1 - krOut));
    };
    double fromPb[3];
    double fromPr[3];
    convert(0, 1, 0, fromPb);
    convert(0, 0, 1, fromPr);
    const double yOffIn = bSourceFull ? 0 : 16;
    const double yScaleIn = bSourceFull ? 255 : 219;
    const double cScaleIn = bSourceFull ? 255 : 224;
    const double yOffOut = bTargetFull ? 0 : 16;
    const double yScaleOut = bTargetFull ? 255 : 219;
    const double cScaleOut = bTargetFull ? 255 : 224;
    auto fixed = [](double d) { return static_cast<int32_t>(std::lround(d * 65536)); };
    MatrixWeights w{};
    w.yY = fixed(yScaleOut / yScaleIn);
    w.yCb = fixed(yScaleOut * fromPb[0] / cScaleIn);
    w.yCr = fixed(yScaleOut * fromPr[0] / cScaleIn);
    w.yBias = fixed(yOffOut - yScaleOut / yScaleIn * yOffIn) - 128 * (w.yCb + w.yCr) + 32768;
    w.cbCb = fixed(cScaleOut * fromPb[1] / cScaleIn);
    w.cbCr = fixed(cScaleOut * fromPr[1] / cScaleIn);
    w.cbBias = fixed(128) - 128 * (w.cbCb + w.cbCr) + 32768;
    w.crCb = fixed(cScaleOut * fromPb[2] / cScaleIn);
    w.crCr = fixed(cScaleOut * fromPr[2] / cScaleIn);
    w.crBias = fixed(128) - 128 * (w.crCb + w.crCr) + 32768;
    return w;
}

uint8_t FromFixed(int32_t n) {
    return static_cast<uint8_t>(std::clamp(n >> 16, 0, 255));
}

// The chroma's share of each luma sample of a row (nShiftW: 0 or 1), worked out once for
// the rows that share a chroma row.
QUOVEL_KERNEL
void LumaChromaTermRow(const MatrixWeights& w, const uint8_t* pCb, const uint8_t* pCr,
                       int32_t* pTerm, int nWidth, int nShiftW) {
    if (nShiftW == 0) {
        for (int x = 0; x < nWidth; ++x) {
            pTerm[x] = w.yCb * pCb[x] + w.yCr * pCr[x] + w.yBias;
        }
        return;
    }
    const ptrdiff_t nChroma = (nWidth + 1) / 2;
    for (ptrdiff_t c = 0; c < nChroma; ++c) {
        pTerm[2 * c] = pTerm[2 * c + 1] = w.yCb * pCb[c] + w.yCr * pCr[c] + w.yBias;
    }
}

// One luma row, given its chroma term row.
QUOVEL_KERNEL
void RemapLumaRow(int32_t nWeight, const uint8_t* pY, const int32_t* pTerm, uint8_t* pOut,
                  int nWidth) {
    for (int x = 0; x < nWidth; ++x) {
        pOut[x] = FromFixed(nWeight * pY[x] + pTerm[x]);
    }
}

// One row of each chroma plane.
QUOVEL_KERNEL
void RemapChromaRow(const MatrixWeights& w, const uint8_t* pCb, const uint8_t* pCr, uint8_t* pOutCb,
                    uint8_t* pOutCr, int nWidth) {
    for (int x = 0; x < nWidth; ++x) {
        pOutCb[x] = FromFixed(w.cbCb * pCb[x] + w.cbCr * pCr[x] + w.cbBias);
        pOutCr[x] = FromFixed(w.crCb * pCb[x] + w.crCr * pCr[x] + w.crBias);
    }
}

}  // namespace

bool EncoderInput::Open(int nWidth, int nHeight, AVPixelFormat encoderFormat, bool bBt709) {
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_format = encoderFormat;
    m_bYuvTarget = IsYuv8(encoderFormat);
    m_bRgbTarget = IsPackedRgb8(encoderFormat);
    m_bBt709Target = bBt709 && m_bYuvTarget;
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
    if (m_pFromDib == nullptr) {
        return false;
    }
    if (m_bBt709Target) {
        int* pInverse = nullptr;
        int* pTable = nullptr;
        int nSrcRange = 0;
        int nDstRange = 0;
        int nBrightness = 0;
        int nContrast = 0;
        int nSaturation = 0;
        sws_getColorspaceDetails(m_pFromDib.get(), &pInverse, &nSrcRange, &pTable, &nDstRange,
                                 &nBrightness, &nContrast, &nSaturation);
        sws_setColorspaceDetails(m_pFromDib.get(), pInverse, nSrcRange,
                                 sws_getCoefficients(SWS_CS_ITU709), nDstRange, nBrightness,
                                 nContrast, nSaturation);
    }
    return true;
}

AVFrame* EncoderInput::FromDib(const uint8_t* pPixels, size_t nRowBytes, bool bOwnKernel) {
    if (av_frame_make_writable(m_pOwned.get()) < 0) {
        return nullptr;
    }
    if (bOwnKernel &&
        BgrToYuvPlanar(pPixels, nRowBytes, m_nWidth, m_nHeight, m_bBt709Target, *m_pOwned)) {
        return m_pOwned.get();
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

bool EncoderInput::Takes(const AVFrame& picture) const {
    const auto source = static_cast<AVPixelFormat>(picture.format);
    if (!(m_bYuvTarget || m_bRgbTarget) || picture.width != m_nWidth ||
        picture.height != m_nHeight || !IsYuv8(source)) {
        return false;
    }
    if (m_bRgbTarget) {
        return true;  // the 24-bit frame's own conversion, whatever the matrix
    }
    if (ReadsAsBt2020(picture)) {
        return false;  // through its 24-bit frame: the matrix is changed only between two
    }
    if (ReadsAsBt709(picture) == m_bBt709Target) {
        return true;
    }
    const AVPixFmtDescriptor* pDesc = av_pix_fmt_desc_get(m_format);
    return PlainTwin(source) == PlainTwin(m_format) && pDesc != nullptr &&
           pDesc->log2_chroma_w <= 1;
}

AVFrame* EncoderInput::FromPicture(const AVFrame& picture) {
    const auto source = static_cast<AVPixelFormat>(picture.format);
    if (!Takes(picture)) {
        return nullptr;
    }
    if (m_bRgbTarget) {
        // The colours of the 24-bit frame in one pass, without making the frame first.
        if (av_frame_make_writable(m_pOwned.get()) < 0 ||
            !m_toRgb.ConvertToPackedRgb(picture, m_format, m_pOwned->data, m_pOwned->linesize)) {
            return nullptr;
        }
        return m_pOwned.get();
    }
    const bool bSourceFull = IsFullRange(picture);
    const bool bTargetFull = IsFullRangeFormat(m_format);
    if (ReadsAsBt709(picture) != m_bBt709Target) {
        // The matrix changes on the way, in the same layout.
        return RemapMatrix(picture, bSourceFull, bTargetFull);
    }
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
    ScalerCache::Job job;
    job.nSrcW = picture.width;
    job.nSrcH = picture.height;
    job.nSrcFormat = source;
    job.nDstW = m_nWidth;
    job.nDstH = m_nHeight;
    job.nDstFormat = m_format;
    job.nFlags = SWS_BICUBIC;
    job.nSrcFullRange = bSourceFull ? 1 : 0;
    job.nDstFullRange = bTargetFull ? 1 : 0;
    SwsContext* pSws = m_fromYuv.For(job);
    if (pSws == nullptr || av_frame_make_writable(m_pOwned.get()) < 0 ||
        sws_scale(pSws, picture.data, picture.linesize, 0, picture.height, m_pOwned->data,
                  m_pOwned->linesize) <= 0) {
        return nullptr;
    }
    return m_pOwned.get();
}

AVFrame* EncoderInput::RemapMatrix(const AVFrame& picture, bool bSourceFull, bool bTargetFull) {
    static const MatrixWeights kWeights[2][2][2] = {
        {{MakeMatrixWeights(false, false, false), MakeMatrixWeights(false, false, true)},
         {MakeMatrixWeights(false, true, false), MakeMatrixWeights(false, true, true)}},
        {{MakeMatrixWeights(true, false, false), MakeMatrixWeights(true, false, true)},
         {MakeMatrixWeights(true, true, false), MakeMatrixWeights(true, true, true)}}};
    const MatrixWeights& w =
        kWeights[m_bBt709Target ? 1 : 0][bSourceFull ? 1 : 0][bTargetFull ? 1 : 0];
    const AVPixFmtDescriptor* pDesc = av_pix_fmt_desc_get(m_format);
    if (pDesc == nullptr || pDesc->log2_chroma_w > 1 ||
        av_frame_make_writable(m_pOwned.get()) < 0) {
        return nullptr;
    }
    const int nShiftW = pDesc->log2_chroma_w;
    const int nShiftH = pDesc->log2_chroma_h;
    const int nChromaW = AV_CEIL_RSHIFT(m_nWidth, nShiftW);
    const int nChromaH = AV_CEIL_RSHIFT(m_nHeight, nShiftH);
    auto row = [](const AVFrame& f, int nPlane, int y) {
        return f.data[nPlane] + static_cast<ptrdiff_t>(y) * f.linesize[nPlane];
    };
    // One spare element: the term row of an odd width is filled in pairs.
    m_chromaTerm.resize(static_cast<size_t>(m_nWidth) + 1);
    int nTermRow = -1;
    for (int y = 0; y < m_nHeight; ++y) {
        if (y >> nShiftH != nTermRow) {
            nTermRow = y >> nShiftH;
            LumaChromaTermRow(w, row(picture, 1, nTermRow), row(picture, 2, nTermRow),
                              m_chromaTerm.data(), m_nWidth, nShiftW);
        }
        RemapLumaRow(w.yY, row(picture, 0, y), m_chromaTerm.data(), row(*m_pOwned, 0, y), m_nWidth);
    }
    for (int y = 0; y < nChromaH; ++y) {
        RemapChromaRow(w, row(picture, 1, y), row(picture, 2, y), row(*m_pOwned, 1, y),
                       row(*m_pOwned, 2, y), nChromaW);
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
