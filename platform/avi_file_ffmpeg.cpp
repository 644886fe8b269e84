// An AVI file being written: creating it, its streams and its header, handing frames to the
// encoding thread (platform/ffmpeg/avi_file_encoding.cpp) and finishing it.
#include <sys/stat.h>

#include <cerrno>
#include <thread>

#include "platform/avi_file.h"
#include "platform/ffmpeg/avi_file_impl.h"
#include "platform/ffmpeg/decoded_picture.h"
#include "platform/ffmpeg/ffmpeg_setup.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace platform {

std::unique_ptr<AviFile> AviFile::Create(const std::string& strPath, std::string* pstrWhy) {
    auto refuse = [pstrWhy](int nCode) {
        if (pstrWhy != nullptr) {
            *pstrWhy = ErrorText(nCode);
        }
        return nullptr;
    };
    struct stat st {};
    if (::stat(strPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        // A directory or device is never replaced.
        return refuse(S_ISDIR(st.st_mode) ? AVERROR(EISDIR) : AVERROR(EINVAL));
    }
    SetUpFFmpegOnce();
    auto pImpl = std::make_unique<Impl>();
    AVFormatContext* pRaw = nullptr;
    if (const int n = avformat_alloc_output_context2(&pRaw, nullptr, "avi", strPath.c_str());
        n < 0 || !pRaw) {
        return refuse(n < 0 ? n : AVERROR(ENOMEM));
    }
    pImpl->pFormat.reset(pRaw);
    if (const int n = avio_open(&pImpl->pFormat->pb, strPath.c_str(), AVIO_FLAG_WRITE); n < 0) {
        return refuse(n);
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

bool AviFile::AddSound(const SoundPlan& plan, SoundRefusal& why) {
    Impl& f = *m_pImpl;
    why = SoundRefusal::None;
    if (f.bHeaderWritten || f.pSound) {
        return false;
    }
    auto pSound = std::make_unique<SoundTrack>();
    if (!pSound->Open(plan, f.pFormat.get(), why)) {
        return false;
    }
    f.pSound = std::move(pSound);
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
        // The matrix the encoder was told it writes (none said: BT.601).
        if (!f.input.Open(format.biWidth, format.biHeight, f.pCodec->pix_fmt,
                          f.pCodec->colorspace == AVCOL_SPC_BT709)) {
            return false;
        }
    }
    // Players show non-square pixels at their shape from the file's video properties.
    par->sample_aspect_ratio = sar;
    f.pStream->sample_aspect_ratio = sar;
    f.pStream->time_base = timeBase;
    f.pStream->avg_frame_rate = av_inv_q(timeBase);
    f.pStream->r_frame_rate = av_inv_q(timeBase);
    if (const int n = avformat_write_header(f.pFormat.get(), nullptr); n < 0) {
        return f.Fail(n);
    }
    f.bHeaderWritten = true;
    f.encodeThread = std::thread([&f] { f.EncodeLoop(); });
    return true;
}

bool AviFile::TakesPicture(const DecodedPicture* pSource) const {
    Impl& f = *m_pImpl;
    if (pSource == nullptr || !f.pCodec) {
        return false;
    }
    return f.input.Takes(*pSource->pFrame);  // reads only what opening the encoder set
}

bool AviFile::WriteSample(int64_t nPosition, const uint8_t* pFrame, size_t nBytes,
                          const DecodedPicture* pSource, const FrameStage& stage) {
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
    if (!f.pCodec && !stage) {
        // Uncompressed as it is: written here, after any frame still with the encoding thread.
        return f.WaitIdle() && f.WriteRaw(nPosition, pFrame, nRow * static_cast<size_t>(h));
    }
    return f.Enqueue(nPosition, pFrame, nRow * static_cast<size_t>(h),
                     pSource != nullptr ? pSource->pFrame : nullptr, stage);
}

std::string AviFile::FailureReason() const {
    const int nCode = m_pImpl->nError.load();
    return nCode != 0 ? ErrorText(nCode) : std::string();
}

int64_t AviFile::SoundLeftOutMicroseconds() const {
    return m_pImpl->pSound ? m_pImpl->pSound->LeftOutMicroseconds() : 0;
}

bool AviFile::Finish() {
    Impl& f = *m_pImpl;
    if (f.bFinished) {
        return !f.bFailed;
    }
    f.bFinished = true;
    f.StopEncoding();  // every frame handed over is written first
    bool bOk = f.bHeaderWritten && !f.bEncodeFailed;
    if (f.bHeaderWritten) {
        if (f.pCodec) {
            bOk = avcodec_send_frame(f.pCodec.get(), nullptr) >= 0 && f.Drain() && bOk;
        }
        if (f.pSound) {
            bOk = f.pSound->Finish(f.llPictureEndUs, f.WriteSoundPacket()) && bOk;
        }
        const int n = av_write_trailer(f.pFormat.get());
        bOk = (n >= 0 || f.Fail(n)) && bOk;
    }
    if (f.pFormat->pb != nullptr) {
        avio_flush(f.pFormat->pb);
        bOk = (f.pFormat->pb->error == 0 || f.Fail(0)) && bOk;
        const int n = avio_closep(&f.pFormat->pb);
        bOk = (n >= 0 || f.Fail(n)) && bOk;
    }
    f.bFailed = !bOk;
    return bOk;
}

}  // namespace platform
