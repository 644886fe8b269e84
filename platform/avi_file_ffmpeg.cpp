#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/avi_file.h"
#include "platform/ffmpeg/compressor_specs.h"
#include "platform/ffmpeg/encoder_input.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/ffmpeg_setup.h"
#include "platform/ffmpeg/sound_track.h"
#include "platform/stop_and_join.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace platform {
namespace {

// Frames handed to the encoding thread and not yet encoded; the caller waits beyond this.
constexpr size_t kFramesQueued = 2;

// One frame on its way to the encoder: the decoded picture it can take as it is, or a copy of
// the 24-bit frame (the caller's buffer is refilled by the next fetch).
struct PendingFrame {
    int64_t nPosition = 0;
    ff::FramePtr pPicture;
    std::vector<uint8_t> dib;
    FrameStage stage;  // run on dib before it is encoded
};

}  // namespace

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

    // The encoding thread: preparing the encoder's input, encoding and writing run beside the
    // caller's next fetch. Started once the header is written; Finish joins it.
    std::thread encodeThread;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<PendingFrame> queue;
    std::vector<std::vector<uint8_t>> spareDibs;
    std::vector<uint8_t> staged;  // the encoding thread's: a stage's output
    bool bStopEncoding = false;
    bool bEncodeFailed = false;
    bool bWorking = false;  // the encoding thread has a frame out of the queue

    // The sound track, when there is one: written by whichever thread writes the picture.
    std::unique_ptr<SoundTrack> pSound;
    int64_t llPictureEndUs = 0;  // where the picture written so far ends

    ~Impl() {
        StopEncoding();
        if (pFormat) {
            if (pFormat->pb != nullptr) {
                avio_closep(&pFormat->pb);
            }
            avformat_free_context(pFormat.release());
        }
    }

    // One frame's packet; then the sound that plays until that frame ends, so that the two
    // are interleaved in the file.
    bool WritePacket(AVPacket* pOut) {
        // A packet's time base counts frames: the stream's, or the encoder's opened with it.
        const AVRational packetBase = pCodec ? pCodec->time_base : pStream->time_base;
        const int64_t llEndUs = av_rescale_q(pOut->pts + 1, packetBase, AV_TIME_BASE_Q);
        pOut->stream_index = pStream->index;
        av_packet_rescale_ts(pOut, packetBase, pStream->time_base);
        if (av_interleaved_write_frame(pFormat.get(), pOut) < 0 || pFormat->pb->error != 0) {
            return false;
        }
        llPictureEndUs = std::max(llPictureEndUs, llEndUs);
        return !pSound || pSound->WriteUntil(llPictureEndUs, WriteSoundPacket());
    }

    // A sound packet the muxer refuses (its time goes back: streams joined) is left out and
    // the sound goes on; only a write that fails fails the file.
    SoundTrack::PacketWriter WriteSoundPacket() {
        return [this](AVPacket* pSoundPacket) {
            return av_interleaved_write_frame(pFormat.get(), pSoundPacket) >= 0 ||
                   pFormat->pb->error == 0;
        };
    }

    void EncodeLoop() {
        const size_t nRow = dib::RowBytes24(pStream->codecpar->width);
        std::unique_lock<std::mutex> held(lock);
        for (;;) {
            changed.wait(held, [this] { return bStopEncoding || !queue.empty(); });
            if (queue.empty()) {
                return;  // stopping, and everything handed over is encoded
            }
            PendingFrame frame = std::move(queue.front());
            queue.pop_front();
            bWorking = true;
            held.unlock();
            changed.notify_all();  // room for the caller
            if (frame.stage) {
                staged.resize(frame.dib.size());
                frame.stage(frame.dib.data(), staged.data());
                frame.dib.swap(staged);
            }
            bool bOk = false;
            if (!pCodec) {
                bOk = WriteRaw(frame.nPosition, frame.dib.data(), frame.dib.size());
            } else {
                // A frame made by a stage has no bytes to keep: the quicker conversion.
                AVFrame* pInput = frame.pPicture
                                      ? input.FromPicture(*frame.pPicture)
                                      : input.FromDib(frame.dib.data(), nRow, !!frame.stage);
                bOk = pInput != nullptr;
                if (bOk) {
                    pInput->pts = frame.nPosition;
                    bOk = avcodec_send_frame(pCodec.get(), pInput) >= 0 && Drain();
                }
            }
            held.lock();
            bWorking = false;
            if (!frame.dib.empty()) {
                spareDibs.push_back(std::move(frame.dib));
            }
            if (!bOk) {
                bEncodeFailed = true;
                changed.notify_all();
            }
        }
    }

    // Waits until every frame handed over is encoded and written, then ends the thread.
    void StopEncoding() { StopAndJoin(encodeThread, lock, changed, bStopEncoding); }

    // Waits until the encoding thread has written every frame handed over; false when one
    // failed.
    bool WaitIdle() {
        std::unique_lock<std::mutex> held(lock);
        changed.wait(held, [this] { return bEncodeFailed || (queue.empty() && !bWorking); });
        return !bEncodeFailed;
    }

    // An uncompressed frame, written as it is (nBytes of it).
    bool WriteRaw(int64_t nPosition, const uint8_t* pFrame, size_t nBytes) {
        pPacket->data = const_cast<uint8_t*>(pFrame);  // written at once, not kept
        pPacket->size = static_cast<int>(nBytes);
        pPacket->pts = pPacket->dts = nPosition;
        pPacket->duration = 1;
        pPacket->flags = AV_PKT_FLAG_KEY;
        const bool bOk = WritePacket(pPacket.get());
        pPacket->data = nullptr;
        pPacket->size = 0;
        return bOk;
    }

    // Hands one frame to the encoding thread; false when an earlier frame failed to encode or
    // be written, or this one cannot be kept.
    bool Enqueue(int64_t nPosition, const uint8_t* pFrame, size_t nDibBytes, const AVFrame* pSource,
                 const FrameStage& stage) {
        PendingFrame frame;
        frame.nPosition = nPosition;
        frame.stage = stage;
        std::unique_lock<std::mutex> held(lock);
        if (bEncodeFailed) {
            return false;
        }
        if (!stage && pCodec && pSource != nullptr && input.Takes(*pSource)) {
            frame.pPicture.reset(av_frame_clone(pSource));
            if (!frame.pPicture) {
                return false;
            }
        } else {
            if (!spareDibs.empty()) {
                frame.dib = std::move(spareDibs.back());
                spareDibs.pop_back();
            }
            held.unlock();
            frame.dib.assign(pFrame, pFrame + nDibBytes);
            held.lock();
        }
        changed.wait(held, [this] { return bEncodeFailed || queue.size() < kFramesQueued; });
        if (bEncodeFailed) {
            return false;
        }
        queue.push_back(std::move(frame));
        changed.notify_all();
        return true;
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
    if (avformat_write_header(f.pFormat.get(), nullptr) < 0) {
        return false;
    }
    f.bHeaderWritten = true;
    f.encodeThread = std::thread([&f] { f.EncodeLoop(); });
    return true;
}

bool AviFile::TakesPicture(const AVFrame* pSource) const {
    Impl& f = *m_pImpl;
    if (pSource == nullptr || !f.pCodec) {
        return false;
    }
    return f.input.Takes(*pSource);  // reads only what opening the encoder set
}

bool AviFile::WriteSample(int64_t nPosition, const uint8_t* pFrame, size_t nBytes,
                          const AVFrame* pSource, const FrameStage& stage) {
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
    return f.Enqueue(nPosition, pFrame, nRow * static_cast<size_t>(h), pSource, stage);
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
