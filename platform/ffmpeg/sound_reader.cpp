#include "platform/sound_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/ffmpeg/sound_decoder.h"
#include "platform/media_clock.h"

namespace platform {

struct SoundReader::Impl {
    std::unique_ptr<SoundInput> pInput;
    std::unique_ptr<SoundDecoder> pDecoder;
    PcmFormat format;
    int nFrameOffset = 0;  // bytes of the decoder's current frame already read
};

SoundReader::SoundReader(std::unique_ptr<Impl> pImpl) : m_pImpl(std::move(pImpl)) {}
SoundReader::~SoundReader() = default;

std::unique_ptr<SoundReader> SoundReader::Open(const std::string& strPath,
                                               int64_t llOriginMicroseconds, int64_t llPosition) {
    auto pImpl = std::make_unique<Impl>();
    // Opened again on every play and resume: not probed when the header says enough (the
    // sound is placed by its own timestamps, never by the stream's start time).
    pImpl->pInput = SoundInput::Open(strPath, false);
    if (!pImpl->pInput) {
        return nullptr;
    }
    const AVCodecParameters* par = pImpl->pInput->pStream->codecpar;
    // Rates a device is sure to take; anything else is resampled to the nearest end.
    pImpl->format.nSampleRate = std::clamp(par->sample_rate, 8000, 192000);
    pImpl->format.nChannels = par->ch_layout.nb_channels >= 2 ? 2 : 1;
    SoundTarget target;
    target.nSampleRate = pImpl->format.nSampleRate;
    target.nChannels = pImpl->format.nChannels;
    target.eFormat = AV_SAMPLE_FMT_S16;
    const int64_t llStartMicroseconds =
        llOriginMicroseconds + av_rescale_q(llPosition,
                                            AVRational{1, static_cast<int>(kMediaUnitsPerSecond)},
                                            AV_TIME_BASE_Q);
    pImpl->pDecoder = SoundDecoder::Open(*pImpl->pInput, target, 1.0, llStartMicroseconds, 0);
    if (!pImpl->pDecoder) {
        return nullptr;
    }
    const int64_t llStart =
        av_rescale_q(llStartMicroseconds, AV_TIME_BASE_Q, pImpl->pInput->pStream->time_base);
    pImpl->pInput->SeekBefore(llStart);
    return std::unique_ptr<SoundReader>(new SoundReader(std::move(pImpl)));
}

PcmFormat SoundReader::Format() const {
    return m_pImpl->format;
}

size_t SoundReader::Read(uint8_t* pDst, size_t nBytes) {
    Impl& r = *m_pImpl;
    const size_t nFrameBytes = static_cast<size_t>(r.format.BytesPerFrame());
    nBytes -= nBytes % nFrameBytes;
    size_t nDone = 0;
    while (nDone < nBytes) {
        AVFrame* pFrame = r.pDecoder->Next();
        if (pFrame == nullptr) {
            break;
        }
        const size_t nHave = static_cast<size_t>(pFrame->nb_samples) * nFrameBytes;
        const size_t nTake = std::min(nHave - static_cast<size_t>(r.nFrameOffset), nBytes - nDone);
        std::memcpy(pDst + nDone, pFrame->data[0] + r.nFrameOffset, nTake);
        nDone += nTake;
        r.nFrameOffset += static_cast<int>(nTake);
        if (static_cast<size_t>(r.nFrameOffset) == nHave) {
            r.pDecoder->Consume();
            r.nFrameOffset = 0;
        }
    }
    return nDone;
}

}  // namespace platform
