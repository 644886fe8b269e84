#include <sys/stat.h>

#include "platform/avi_file.h"
#include "platform/ffmpeg/compressor_specs.h"
#include "platform/ffmpeg/encoder_input.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/ffmpeg_setup.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace platform {

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
