// The compressor catalogue: what can go into an AVI here, at which sizes.
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/ffmpeg/compressor_specs.h"
#include "platform/ffmpeg/ffmpeg_setup.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace platform {
namespace {

// In the order the chooser lists them.
const CompressorSpec kSpecs[] = {
    {kFourCCDib, "(全フレーム) 非圧縮", nullptr, AV_PIX_FMT_BGR24, false, false, false, false},
    {MakeFourCC('M', 'J', 'P', 'G'), "Motion JPEG", "mjpeg", AV_PIX_FMT_YUVJ420P, false, true,
     false, true},
    {MakeFourCC('F', 'M', 'P', '4'), "MPEG-4 Part 2", "mpeg4", AV_PIX_FMT_YUV420P, true, true,
     false, true},
    {MakeFourCC('X', 'V', 'I', 'D'), "MPEG-4 Part 2 (XviD 互換)", "mpeg4", AV_PIX_FMT_YUV420P, true,
     true, false, true},
    {MakeFourCC('D', 'I', 'V', 'X'), "MPEG-4 Part 2 (DivX 互換)", "mpeg4", AV_PIX_FMT_YUV420P, true,
     true, false, true},
    {MakeFourCC('M', 'P', '4', '2'), "Microsoft MPEG-4 Ver.2", "msmpeg4v2", AV_PIX_FMT_YUV420P,
     true, true, false, true},
    {MakeFourCC('D', 'I', 'V', '3'), "Microsoft MPEG-4 Ver.3 (DivX 3.0)", "msmpeg4",
     AV_PIX_FMT_YUV420P, true, true, false, true},
    {MakeFourCC('m', 'p', 'g', '1'), "MPEG-1 Video", "mpeg1video", AV_PIX_FMT_YUV420P, true, true,
     false, true},
    {MakeFourCC('H', '2', '6', '4'), "H.264 (x264)", "libx264", AV_PIX_FMT_YUV420P, true, false,
     true, true},
    {MakeFourCC('F', 'F', 'V', '1'), "FFV1 (可逆圧縮)", "ffv1", AV_PIX_FMT_BGR0, false, false,
     false, false},
    {MakeFourCC('H', 'F', 'Y', 'U'), "HuffYUV (可逆圧縮)", "huffyuv", AV_PIX_FMT_RGB24, false,
     false, false, false},
    {MakeFourCC('c', 'v', 'i', 'd'), "Cinepak", "cinepak", AV_PIX_FMT_RGB24, true, false, false,
     false},
    {MakeFourCC('M', 'S', 'V', 'C'), "Microsoft Video 1", "msvideo1", AV_PIX_FMT_RGB555LE, true,
     false, false, false},
    {MakeFourCC('d', 'v', 's', 'd'), "DV (dvsd)", "dvvideo", AV_PIX_FMT_NONE, false, false, false,
     false},
};

}  // namespace

const CompressorSpec* FindSpec(uint32_t nFourCC) {
    for (const CompressorSpec& entry : kSpecs) {
        if (entry.nFourCC == nFourCC) {
            return &entry;
        }
    }
    return nullptr;
}

namespace {
// DV takes a few sizes, each in its own sampling: 720×480 only as 4:1:1.
AVPixelFormat PixelFormatFor(const CompressorSpec& entry, int w, int h) {
    if (entry.pixFmt != AV_PIX_FMT_NONE) {
        return entry.pixFmt;
    }
    if (w == 720 && h == 480) {
        return AV_PIX_FMT_YUV411P;
    }
    if (w == 720 && h == 576) {
        return AV_PIX_FMT_YUV420P;
    }
    return AV_PIX_FMT_YUV422P;  // the HD sizes
}

bool IsJpeg(const CompressorSpec& entry) {
    return entry.pszEncoder != nullptr && std::strcmp(entry.pszEncoder, "mjpeg") == 0;
}

// The matrix a compressor's YUV samples are written in, as players read a stream that does
// not say: BT.709 for a picture 1280 wide or more or more than 576 high, else BT.601. Said
// to the encoder, which writes it where its codec has room (x264's VUI), and read back by
// the encoder's input. Unspecified, and so BT.601, for JPEG (its standard fixes it) and for
// RGB formats.
AVColorSpace YuvMatrixFor(const CompressorSpec& entry, AVPixelFormat format, int w, int h) {
    const AVPixFmtDescriptor* pDesc = av_pix_fmt_desc_get(format);
    if (IsJpeg(entry) || pDesc == nullptr || (pDesc->flags & AV_PIX_FMT_FLAG_RGB) != 0 ||
        pDesc->nb_components < 3) {
        return AVCOL_SPC_UNSPECIFIED;
    }
    return w >= 1280 || h > 576 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
}

}  // namespace

ff::CodecPtr OpenEncoder(const CompressorSpec& entry, const CompressorChoice& choice, int w, int h,
                         AVRational timeBase, AVRational sar) {
    const AVCodec* pCodec = avcodec_find_encoder_by_name(entry.pszEncoder);
    if (pCodec == nullptr) {
        return nullptr;
    }
    ff::CodecPtr pContext(avcodec_alloc_context3(pCodec));
    if (!pContext) {
        return nullptr;
    }
    AVCodecContext* c = pContext.get();
    c->width = w;
    c->height = h;
    c->pix_fmt = PixelFormatFor(entry, w, h);
    c->colorspace = YuvMatrixFor(entry, c->pix_fmt, w, h);
    c->time_base = timeBase;
    c->framerate = av_inv_q(timeBase);
    c->sample_aspect_ratio = sar;  // written into the stream where the codec has room for it
    c->codec_tag = entry.nFourCC;
    c->max_b_frames = 0;  // AVI keeps one timestamp a frame
    // The encoder's own frame or slice threads, where it has them: the next frame is
    // decoded meanwhile on the graph's thread, so the cores are all busy.
    c->thread_count = choice.nEncoderThreads;
    c->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (entry.bKeyFrames && choice.nKeyFrameEvery > 0) {
        c->gop_size = choice.nKeyFrameEvery;
    }
    if (entry.bRate && choice.nDataRateKBps > 0) {
        c->bit_rate = static_cast<int64_t>(choice.nDataRateKBps) * 1024 * 8;
    } else if (entry.bQScale && choice.nQuality >= 0) {
        const int nQScale = 31 - std::min(choice.nQuality, 100) * 30 / 100;
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * nQScale;
    } else if (entry.bCrf && choice.nQuality >= 0) {
        av_opt_set_int(c->priv_data, "crf", 51 - std::min(choice.nQuality, 100) * 51 / 100, 0);
    }
    if (entry.bCrf) {
        av_opt_set(c->priv_data, "preset", "veryfast", 0);
    }
    if (avcodec_open2(c, pCodec, nullptr) < 0) {
        return nullptr;
    }
    return pContext;
}

std::string FourCCText(uint32_t n) {
    std::string s;
    for (int i = 0; i < 4; ++i) {
        s.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    }
    return s;
}

bool CanCompress(uint32_t nFourCC, int nWidth, int nHeight) {
    const CompressorSpec* pEntry = FindSpec(nFourCC);
    if (pEntry == nullptr || nWidth <= 0 || nHeight <= 0) {
        return false;
    }
    SetUpFFmpegOnce();
    CompressorChoice probe;
    probe.nEncoderThreads = 1;  // only asking whether it opens
    return pEntry->pszEncoder == nullptr ||
           OpenEncoder(*pEntry, probe, nWidth, nHeight, AVRational{1, 30}) != nullptr;
}

std::vector<CompressorInfo> ListCompressors(int nWidth, int nHeight) {
    // Opening every encoder once per size is slow (x264, Cinepak): remember the answers.
    static std::mutex s_mutex;
    static std::map<std::tuple<int, int>, std::vector<CompressorInfo>> s_cache;
    std::lock_guard lock(s_mutex);
    auto it = s_cache.find({nWidth, nHeight});
    if (it != s_cache.end()) {
        return it->second;
    }
    SetUpFFmpegOnce();
    std::vector<CompressorInfo> offered;
    for (const CompressorSpec& entry : kSpecs) {
        if (CanCompress(entry.nFourCC, nWidth, nHeight)) {
            offered.push_back({entry.nFourCC, entry.pszName, entry.bKeyFrames,
                               entry.bQScale || entry.bCrf, entry.bRate});
        }
    }
    s_cache[{nWidth, nHeight}] = offered;
    return offered;
}

}  // namespace platform
