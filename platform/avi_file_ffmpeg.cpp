#include <sys/stat.h>

#include <map>
#include <mutex>
#include <tuple>

#include "platform/avi_file.h"
#include "platform/ffmpeg/encoder_input.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/ffmpeg_setup.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace platform {
namespace {

// The compressors we know how to drive, in the order the chooser lists them.
struct CompressorSpec {
    uint32_t nFourCC;
    const char* pszName;
    const char* pszEncoder;  // nullptr: uncompressed, no encoder
    AVPixelFormat pixFmt;    // AV_PIX_FMT_NONE: chosen by the frame size (DV)
    bool bKeyFrames;
    bool bQScale;  // quality on the 1..31 quantiser scale
    bool bCrf;     // quality as x264's constant rate factor
    bool bRate;
};

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

const CompressorSpec* FindSpec(uint32_t nFourCC) {
    for (const CompressorSpec& entry : kSpecs) {
        if (entry.nFourCC == nFourCC) {
            return &entry;
        }
    }
    return nullptr;
}

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

// An encoder context for the choice at w × h, opened; null when the codec refuses.
ff::CodecPtr OpenEncoder(const CompressorSpec& entry, const CompressorChoice& choice, int w, int h,
                         AVRational timeBase, AVRational sar = AVRational{0, 1}) {
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
    c->time_base = timeBase;
    c->framerate = av_inv_q(timeBase);
    c->sample_aspect_ratio = sar;  // written into the stream where the codec has room for it
    c->codec_tag = entry.nFourCC;
    c->max_b_frames = 0;  // AVI keeps one timestamp a frame
    c->thread_count = 1;
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

}  // namespace

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
    return pEntry->pszEncoder == nullptr ||
           OpenEncoder(*pEntry, CompressorChoice{}, nWidth, nHeight, AVRational{1, 30}) != nullptr;
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

struct AviFile::Impl {
    ff::FormatPtr pFormat;  // output: closed by Finish, not by avformat_close_input
    AVStream* pStream = nullptr;
    AviStreamInfo info;
    CompressorChoice choice;
    const CompressorSpec* pEntry = nullptr;
    ff::CodecPtr pCodec;
    EncoderInput input;
    ff::PacketPtr pPacket{av_packet_alloc()};
    bool bHeaderWritten = false;
    bool bFinished = false;
    bool bFailed = false;

    ~Impl() {
        if (pFormat) {
            if (pFormat->pb != nullptr) {
                avio_closep(&pFormat->pb);
            }
            avformat_free_context(pFormat.release());
        }
    }

    bool WritePacket(AVPacket* pOut) {
        pOut->stream_index = pStream->index;
        av_packet_rescale_ts(pOut, pCodec ? pCodec->time_base : pStream->time_base,
                             pStream->time_base);
        const int nResult = av_interleaved_write_frame(pFormat.get(), pOut);
        return nResult >= 0 && pFormat->pb->error == 0;
    }

    bool Drain() {
        for (;;) {
            const int n = avcodec_receive_packet(pCodec.get(), pPacket.get());
            if (n == AVERROR(EAGAIN) || n == AVERROR_EOF) {
                return true;
            }
            if (n < 0 || !WritePacket(pPacket.get())) {
                av_packet_unref(pPacket.get());
                return false;
            }
        }
    }
};

std::unique_ptr<AviFile> AviFile::Create(const std::string& strPath) {
    struct stat st {};
    if (::stat(strPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return nullptr;  // a directory or device is never replaced
    }
    SetUpFFmpegOnce();
    auto pImpl = std::make_unique<Impl>();
    AVFormatContext* pRaw = nullptr;
    if (avformat_alloc_output_context2(&pRaw, nullptr, "avi", strPath.c_str()) < 0 || !pRaw) {
        return nullptr;
    }
    pImpl->pFormat.reset(pRaw);
    if (avio_open(&pImpl->pFormat->pb, strPath.c_str(), AVIO_FLAG_WRITE) < 0) {
        return nullptr;
    }
    return std::unique_ptr<AviFile>(new AviFile(std::move(pImpl)));
}

AviFile::AviFile(std::unique_ptr<Impl> pImpl) : m_pImpl(std::move(pImpl)) {}

AviFile::~AviFile() {
    if (m_pImpl->bHeaderWritten && !m_pImpl->bFinished) {
        Finish();
    }
}

bool AviFile::CreateStream(const AviStreamInfo& info) {
    Impl& f = *m_pImpl;
    f.pStream = avformat_new_stream(f.pFormat.get(), nullptr);
    if (f.pStream == nullptr || info.nRate == 0 || info.nScale == 0) {
        return false;
    }
    f.info = info;
    av_dict_set(&f.pStream->metadata, "title", info.strName.c_str(), 0);
    return true;
}

bool AviFile::MakeCompressedStream(const CompressorChoice& choice) {
    Impl& f = *m_pImpl;
    f.pEntry = FindSpec(choice.nFourCC);
    f.choice = choice;
    return f.pStream != nullptr && f.pEntry != nullptr;
}

bool AviFile::SetFormat(const dib::BitmapInfoHeader& format) {
    Impl& f = *m_pImpl;
    if (f.pEntry == nullptr || f.bHeaderWritten || format.biWidth <= 0 || format.biHeight <= 0 ||
        format.biBitCount != 24) {
        return false;
    }
    const AVRational timeBase{static_cast<int>(f.info.nScale), static_cast<int>(f.info.nRate)};
    const AVRational sar = f.info.nSarNum > 0 && f.info.nSarDen > 0
                               ? av_make_q(f.info.nSarNum, f.info.nSarDen)
                               : AVRational{0, 1};
    AVCodecParameters* par = f.pStream->codecpar;
    if (f.pEntry->pszEncoder == nullptr) {
        // Uncompressed: the frames go in as they are, bottom row first, rows padded.
        par->codec_type = AVMEDIA_TYPE_VIDEO;
        par->codec_id = AV_CODEC_ID_RAWVIDEO;
        par->format = AV_PIX_FMT_BGR24;
        par->width = format.biWidth;
        par->height = format.biHeight;
        par->bits_per_coded_sample = 24;
        par->codec_tag = 0;  // BI_RGB
        av_opt_set_int(f.pFormat->priv_data, "flipped_raw_rgb", 1, 0);
    } else {
        f.pCodec = OpenEncoder(*f.pEntry, f.choice, format.biWidth, format.biHeight, timeBase, sar);
        if (!f.pCodec || avcodec_parameters_from_context(par, f.pCodec.get()) < 0) {
            return false;
        }
        par->codec_tag = f.pEntry->nFourCC;
        if (!f.input.Open(format.biWidth, format.biHeight, f.pCodec->pix_fmt)) {
            return false;
        }
    }
    // Players show non-square pixels at their shape from the file's video properties.
    par->sample_aspect_ratio = sar;
    f.pStream->sample_aspect_ratio = sar;
    f.pStream->time_base = timeBase;
    f.pStream->avg_frame_rate = av_inv_q(timeBase);
    f.pStream->r_frame_rate = av_inv_q(timeBase);
    if (avformat_write_header(f.pFormat.get(), nullptr) < 0) {
        return false;
    }
    f.bHeaderWritten = true;
    return true;
}

bool AviFile::WriteSample(int64_t nPosition, const uint8_t* pFrame, size_t nBytes,
                          const AVFrame* pSource) {
    Impl& f = *m_pImpl;
    if (!f.bHeaderWritten || f.bFinished || pFrame == nullptr) {
        return false;
    }
    const int w = f.pStream->codecpar->width;
    const int h = f.pStream->codecpar->height;
    const size_t nRow = dib::RowBytes24(w);
    if (nBytes < nRow * static_cast<size_t>(h)) {
        return false;
    }
    if (!f.pCodec) {
        f.pPacket->data = const_cast<uint8_t*>(pFrame);  // written at once, not kept
        f.pPacket->size = static_cast<int>(nRow * static_cast<size_t>(h));
        f.pPacket->pts = f.pPacket->dts = nPosition;
        f.pPacket->duration = 1;
        f.pPacket->flags = AV_PKT_FLAG_KEY;
        const bool bOk = f.WritePacket(f.pPacket.get());
        f.pPacket->data = nullptr;
        f.pPacket->size = 0;
        return bOk;
    }
    AVFrame* pInput = pSource != nullptr ? f.input.FromPicture(*pSource) : nullptr;
    if (pInput == nullptr) {
        pInput = f.input.FromDib(pFrame, nRow);
    }
    if (pInput == nullptr) {
        return false;
    }
    pInput->pts = nPosition;
    if (avcodec_send_frame(f.pCodec.get(), pInput) < 0) {
        return false;
    }
    return f.Drain();
}

bool AviFile::Finish() {
    Impl& f = *m_pImpl;
    if (f.bFinished) {
        return !f.bFailed;
    }
    f.bFinished = true;
    bool bOk = f.bHeaderWritten;
    if (f.bHeaderWritten) {
        if (f.pCodec) {
            bOk = avcodec_send_frame(f.pCodec.get(), nullptr) >= 0 && f.Drain() && bOk;
        }
        bOk = av_write_trailer(f.pFormat.get()) >= 0 && bOk;
    }
    if (f.pFormat->pb != nullptr) {
        avio_flush(f.pFormat->pb);
        bOk = f.pFormat->pb->error == 0 && bOk;
        bOk = avio_closep(&f.pFormat->pb) >= 0 && bOk;
    }
    f.bFailed = !bOk;
    return bOk;
}

}  // namespace platform
