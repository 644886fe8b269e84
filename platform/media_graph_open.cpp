// Opening a media graph: the file checked, the container read, the video stream and its
// decoder found, and the first frame decoded; or the reason why not.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/debug_output.h"
#include "platform/ffmpeg/ffmpeg_setup.h"
#include "platform/ffmpeg/media_graph_impl.h"
#include "platform/media_graph.h"
#include "platform/picture_budget.h"

namespace platform {
namespace {

// Notes why the file did not open, for the caller (when it asked) and for developers
// (QUOVEL_DEBUG).
bool Refuse(OpenFailure* pWhy, OpenFailure failure) {
    DebugOutput(("media: refused (" + std::to_string(static_cast<int>(failure.kind)) + ") " +
                 failure.strSystem + failure.strCodec)
                    .c_str());
    if (pWhy != nullptr) {
        *pWhy = std::move(failure);
    }
    return false;
}

bool RefuseSystem(OpenFailure* pWhy, int nError) {
    return Refuse(pWhy, OpenFailure::Of(OpenFailure::Kind::System, ErrorText(nError)));
}

// A name that is not a regular file (a folder, a device, a FIFO: reading one could block) is
// refused before FFmpeg sees it.
bool IsRegularFile(const std::string& strPath, OpenFailure* pWhy) {
    struct stat st {};
    if (::stat(strPath.c_str(), &st) != 0) {
        return RefuseSystem(pWhy, AVERROR(errno));
    }
    if (S_ISDIR(st.st_mode)) {
        return Refuse(pWhy, OpenFailure::Of(OpenFailure::Kind::Folder));
    }
    return S_ISREG(st.st_mode) || Refuse(pWhy, OpenFailure::Of(OpenFailure::Kind::NotAFile));
}

// Pictures whose frames would not fit in memory are refused before one is decoded.
bool PictureFits(int nWidth, int nHeight, OpenFailure* pWhy) {
    switch (FitPicture(nWidth, nHeight)) {
        case PictureFit::Fits:
            return true;
        case PictureFit::TooManyPixels: {
            OpenFailure failure = OpenFailure::Of(OpenFailure::Kind::TooManyPixels);
            failure.nWidth = nWidth;
            failure.nHeight = nHeight;
            return Refuse(pWhy, failure);
        }
        case PictureFit::TooLittleMemory: {
            OpenFailure failure = OpenFailure::Of(OpenFailure::Kind::TooLittleMemory);
            failure.nWidth = nWidth;
            failure.nHeight = nHeight;
            failure.llNeededBytes = PeakBytesForPicture(nWidth, nHeight);
            failure.llAvailableBytes = AvailableMemoryBytes();
            return Refuse(pWhy, failure);
        }
    }
    return true;
}

// Whether every video stream the container describes fits (sizes not known yet pass).
bool VideoStreamsFit(const AVFormatContext& format, OpenFailure* pWhy) {
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVCodecParameters* par = format.streams[i]->codecpar;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO && !PictureFits(par->width, par->height, pWhy)) {
            return false;
        }
    }
    return true;
}

// Reads the streams' parameters; the decoders this opens never make a picture larger than
// any that may be decoded.
int FindStreamInfo(AVFormatContext& format) {
    std::vector<AVDictionary*> options(format.nb_streams, nullptr);
    for (AVDictionary*& pOptions : options) {
        av_dict_set_int(&pOptions, "max_pixels", kMaxPicturePixels, 0);
    }
    const int nResult = avformat_find_stream_info(&format, options.data());
    for (AVDictionary*& pOptions : options) {
        av_dict_free(&pOptions);
    }
    return nResult;
}

}  // namespace

bool MediaGraph::Impl::OpenVideo(OpenFailure* pWhy) {
    nStreamIndex = av_find_best_stream(pFormat.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (nStreamIndex < 0) {
        return Refuse(pWhy, OpenFailure::Of(OpenFailure::Kind::NoVideo));
    }
    pStream = pFormat->streams[nStreamIndex];
    const AVCodec* pDecoder = avcodec_find_decoder(pStream->codecpar->codec_id);
    if (pDecoder == nullptr) {
        OpenFailure failure = OpenFailure::Of(OpenFailure::Kind::NoDecoder);
        failure.strCodec = avcodec_get_name(pStream->codecpar->codec_id);
        return Refuse(pWhy, failure);
    }
    pCodec.reset(avcodec_alloc_context3(pDecoder));
    if (!pCodec) {
        return RefuseSystem(pWhy, AVERROR(ENOMEM));
    }
    if (const int nError = avcodec_parameters_to_context(pCodec.get(), pStream->codecpar);
        nError < 0) {
        return RefuseSystem(pWhy, nError);
    }
    return true;
}
// Decodes the first frame: it fixes the format and the time origin, and proves that
// the stream can be decoded at all.
bool MediaGraph::Impl::Connect(int nThreads, OpenFailure* pWhy) {
    if (!OpenVideo(pWhy) || !PictureFits(pCodec->width, pCodec->height, pWhy)) {
        return false;
    }
    pCodec->thread_count = nThreads;
    pCodec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    pCodec->max_pixels = kMaxPicturePixels;  // a header that understates the size, too
    if (const int nError = avcodec_open2(pCodec.get(), pCodec->codec, nullptr); nError < 0) {
        return RefuseSystem(pWhy, nError);
    }
    cur.pFrame.reset(av_frame_alloc());
    AVFrame* pFirst = cur.pFrame.get();
    if (pFirst == nullptr) {
        return RefuseSystem(pWhy, AVERROR(ENOMEM));
    }
    if (!DecodeOne(pFirst)) {
        OpenFailure failure = OpenFailure::Of(OpenFailure::Kind::Undecodable);
        failure.strSystem = nLastDecodeError != 0 ? ErrorText(nLastDecodeError) : std::string();
        return Refuse(pWhy, failure);
    }
    // Frames beyond this would need image blocks of gigabytes: refused, not allocated.
    if (pFirst->width <= 0 || pFirst->height <= 0 || pFirst->width > kMaxFrameSide ||
        pFirst->height > kMaxFrameSide) {
        OpenFailure failure = OpenFailure::Of(OpenFailure::Kind::TooManyPixels);
        failure.nWidth = pFirst->width;
        failure.nHeight = pFirst->height;
        return Refuse(pWhy, failure);
    }
    if (!PictureFits(pFirst->width, pFirst->height, pWhy)) {
        return false;
    }
    nQuarterTurns = QuarterTurnsOf(pStream);
    sar = av_guess_sample_aspect_ratio(pFormat.get(), pStream, pFirst);
    if (nQuarterTurns % 2 == 1 && sar.num > 0) {
        sar = av_inv_q(sar);  // a turned pixel is as tall as it was wide
    }
    header = nQuarterTurns % 2 == 1 ? dib::MakeHeader24(pFirst->height, pFirst->width)
                                    : dib::MakeHeader24(pFirst->width, pFirst->height);
    WorkOutTimes(pFirst);
    WorkOutIndexDelay();
    MakeCopy(cur, true);  // no decode thread yet: this thread may still use the converter
    cur.llStart = std::max<int64_t>(cur.llStart, 0);  // untimed, it is the first
    llLastStart = cur.llStart;
    llDecoded = 1;
    bHaveCur = true;
    return true;
}
std::string MediaLibraryVersion() {
    return av_version_info();
}

std::unique_ptr<MediaGraph> MediaGraph::Open(const std::string& strPath, const IMediaClock& clock,
                                             const MediaGraphOptions& options, OpenFailure* pWhy) {
    if (!IsRegularFile(strPath, pWhy)) {
        return nullptr;
    }
    SetUpFFmpegOnce();
    auto pImpl = std::make_unique<Impl>(clock);
    if (!pImpl->pPacket || !pImpl->pCopied) {
        RefuseSystem(pWhy, AVERROR(ENOMEM));
        return nullptr;
    }
    AVFormatContext* pRaw = nullptr;
    if (const int nError = avformat_open_input(&pRaw, strPath.c_str(), nullptr, nullptr);
        nError < 0) {
        RefuseSystem(pWhy, nError);
        return nullptr;
    }
    pImpl->pFormat.reset(pRaw);
    // A size the header gives is checked before the streams are probed by decoding.
    if (!VideoStreamsFit(*pImpl->pFormat, pWhy)) {
        return nullptr;
    }
    if (const int nError = FindStreamInfo(*pImpl->pFormat); nError < 0) {
        RefuseSystem(pWhy, nError);
        return nullptr;
    }
    pImpl->bConnected = pImpl->Connect(options.nDecoderThreads, pWhy);
    if (!pImpl->bConnected) {
        pImpl->pCodec.reset();
        pImpl->UseContainerDuration();
    } else {
        pImpl->EstimateUnknownEnd(strPath);
        pImpl->StartDecodeThread();
    }
    return std::unique_ptr<MediaGraph>(new MediaGraph(std::move(pImpl)));
}

}  // namespace platform
