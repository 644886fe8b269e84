#include "convert/avi_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "convert/band_pool.h"
#include "convert/convert_settings.h"
#include "convert/dv_crop.h"
#include "convert/sound_choice.h"
#include "effects/transform_frame.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/strings.h"
#include "state/app_state.h"

std::string FormatProgress(uint32_t nCurrent, uint32_t nEnd) {
    return FormatFramePosition(nCurrent) + " / " + FormatFramePosition(nEnd);
}

CAviWriter::CAviWriter(platform::ICompressorChooser& chooser, CFrameGrabber& grabber)
    : m_chooser(chooser), m_grabber(grabber) {
    bmpHeader = dib::MakeHeader24(320, 240);
}

CAviWriter::~CAviWriter() {
    pFile.reset();  // an output still open is finished, its stages run, before the pool goes
    m_pBands.reset();
}

void CAviWriter::SetFileName(const std::string& strName) {
    strFileName = strName;
    bHasFileName = strName.empty() ? 0 : 1;
}

int CAviWriter::GetFileName(std::string& strName) const {
    if (!bHasFileName) {
        strName.clear();
        return 0;
    }
    strName = strFileName;
    return 1;
}

int CAviWriter::Open(CQuovelDoc* pDoc, int32_t nWidth, int32_t nHeight) {
    pDocument = pDoc;
    strFailure.clear();
    if (TakesDvCrop(nWidth, nHeight) && AppState.bDvCrop == 1) {
        nOutWidth = kDvCropWidth;
        nOutHeight = kDvHeight;
        AppState.bDvCropActive = 1;
    } else {
        nOutWidth = nWidth;
        nOutHeight = nHeight;
        AppState.bDvCropActive = 0;
    }
    // Rows are padded to 4 bytes, as in every image block.
    nFrameBytes =
        static_cast<int32_t>(dib::RowBytes24(nOutWidth) * static_cast<size_t>(nOutHeight));
    streamInfo.nWidth = nOutWidth;
    streamInfo.nHeight = nOutHeight;
    bmpHeader.biWidth = nOutWidth;
    bmpHeader.biHeight = nOutHeight;
    bmpHeader.biSizeImage = static_cast<uint32_t>(nFrameBytes);
    // Non-square pixels keep their shape, unless the DV reduction has made a new picture.
    const bool bKeepShape = AppState.bDvCropActive == 0 && m_grabber.nFrameWidth == nWidth &&
                            m_grabber.nFrameHeight == nHeight;
    streamInfo.nSarNum = bKeepShape ? m_grabber.nSarNum : 0;
    streamInfo.nSarDen = bKeepShape ? m_grabber.nSarDen : 0;
    streamInfo.nRate = static_cast<uint32_t>(AppState.nDstFrameRate);
    const auto nThinning = static_cast<uint32_t>(AppState.nThinning);
    streamInfo.nLength = nThinning == 0 ? 0
                                        : (static_cast<uint32_t>(AppState.nRangeEnd) -
                                           static_cast<uint32_t>(AppState.nRangeStart)) /
                                              nThinning;
    nEndFrame = static_cast<uint32_t>(AppState.nRangeEnd);
    // A range to the stream's end goes on to its last frame: a length only estimated (a
    // truncated file's) may fall short of it.
    m_bToSourceEnd = AppState.nRangeEnd >= AppState.nStreamLength;

    const auto choice = m_chooser.Choose(bmpHeader, initialChoice);
    if (!choice) {
        return 0;
    }
    compVars = *choice;
    initialChoice = *choice;
    streamInfo.nHandler = compVars.nFourCC;
    compressOptions = compVars;

    // Whatever fails from here releases the file again: nothing is left half made.
    pFile = platform::AviFile::Create(strFileName, &strFailure);
    if (!pFile) {
        bHasFileName = 0;
        return 0;
    }
    // The video is the file's first stream, the sound its second.
    const bool bStream = pFile->CreateStream(streamInfo);
    if (bStream) {
        AddSound();
    }
    if (!bStream || !pFile->MakeCompressedStream(compressOptions) || !pFile->SetFormat(bmpHeader)) {
        // Nothing written says why: the compressor would not take these frames.
        strFailure = pFile->FailureReason();
        strFailure = strFailure.empty() ? str::kReasonCompressorRefused : strFailure;
        RemoveOutput();
        return 0;
    }
    return 1;
}

void CAviWriter::AddSound() {
    soundRefusal = platform::SoundRefusal::None;
    if (m_grabber.strFileName.empty()) {
        return;
    }
    // The captured frame c shows the source at (range start + c) × the time per frame: the
    // sound starts at the range's first frame.
    platform::SoundPlan plan;
    plan.strSource = m_grabber.strFileName;
    plan.mode = static_cast<platform::SoundMode>(AppState.nSoundMode);
    plan.nMp3KBitsPerSecond = AppState.nSoundKBitsPerSecond;
    const int64_t llTimePerFrame = m_grabber.llTimePerFrame;  // 100 ns units
    plan.llStartMicroseconds = m_grabber.llOriginMicroseconds +
                               static_cast<int64_t>(AppState.nRangeStart) * llTimePerFrame / 10;
    plan.dTempo = SoundTempo(AppState.nDstFrameRate, AppState.nThinning, llTimePerFrame);
    pFile->AddSound(plan, soundRefusal);  // refused, the picture is written without sound
}

void CAviWriter::Start() {
    nFrameCount = 0;
    llSoundLeftOutUs = 0;
    bActive = 1;
    // The mode shown as the conversion starts is the one written; its levels may change on.
    m_nEffectMode = AppState.bApplyEffectsToConversion != 0 ? AppState.nColorMode : -1;
    if (m_nEffectMode >= 0) {
        const int32_t nCores =
            std::clamp(static_cast<int32_t>(std::thread::hardware_concurrency()), 1, 4);
        m_pBands = std::make_unique<CBandPool>(nCores - 1);
    }
    AppState.strTimeText = FormatProgress(0, 0);
}

int CAviWriter::WriteFrame() {
    if (!bActive || !pFile || pDocument == nullptr || !pDocument->pFrameImage) {
        return kFinished;
    }
    if (AppState.bFrameReady != 1 && AppState.bDrawing != 0) {
        return kContinue;  // no new frame while the view is drawing
    }
    AppState.bFrameReady = 0;

    const uint8_t* pFrame = pDocument->pFrameImage.get() + dib::kPixelOffset;
    const bool bEffect = m_nEffectMode >= 0;
    // The decoded picture behind FrameImage, for compressors that can take it (a cropped
    // frame no longer has its size, so the crop below goes through FrameImage; a frame with
    // the colour effect is made from FrameImage).
    const platform::DecodedPicture* pSource = bEffect ? nullptr : m_grabber.CopiedPicture();
    // A fetch may have left FrameImage for us to ask for. (A cropped frame is never taken
    // from the picture: the sizes differ.)
    if (!pFile->TakesPicture(pSource)) {
        m_grabber.FillFrameImage();
    }
    if (AppState.bDvCropActive == 1) {
        // Keep the middle 320 columns: 20 dropped at each side.
        const size_t nSrcRow = dib::RowBytes24(kDvWidth);
        const size_t nDstRow = dib::RowBytes24(kDvCropWidth);
        uint8_t* pCrop = pDocument->pCropImage.get() + dib::kPixelOffset;
        for (int32_t r = 0; r < nOutHeight; ++r) {
            std::memcpy(
                pCrop + nDstRow * static_cast<size_t>(r),
                pFrame + nSrcRow * static_cast<size_t>(r) + static_cast<size_t>(kDvCropLeft) * 3,
                nDstRow);
        }
        pFrame = pCrop;
    }
    const int32_t nThinning = AppState.nThinning > 0 ? AppState.nThinning : 1;
    const int32_t nPosition = nFrameCount / nThinning;
    if (nFrameCount % nThinning == 0 &&
        !pFile->WriteSample(nPosition, pFrame, static_cast<size_t>(nFrameBytes), pSource,
                            bEffect ? EffectStage(nPosition) : platform::FrameStage{})) {
        strFailure = pFile->FailureReason();
        return kWriteFailed;
    }
    const uint32_t nShown =
        static_cast<uint32_t>(nFrameCount) + static_cast<uint32_t>(AppState.nRangeStart);
    AppState.strTimeText = FormatProgress(nShown, std::max(nShown, nEndFrame));
    ++nFrameCount;
    AppState.bFrameReady = 1;
    if (!m_bToSourceEnd &&
        static_cast<uint32_t>(nFrameCount) + static_cast<uint32_t>(AppState.nRangeStart) >
            nEndFrame) {
        return kFinished;
    }
    return kContinue;
}

namespace {
// Below two bands' worth of rows a frame is transformed on one thread.
constexpr int32_t kRowsPerBand = 64;
}  // namespace

platform::FrameStage CAviWriter::EffectStage(int32_t nPosition) const {
    // Taken now, on this thread: the levels of this moment, the strobe counting frames
    // written. The transform itself runs on the encoding side.
    effects::EffectSettings settings = effects::ScreenEffectSettings();
    settings.nColorMode = m_nEffectMode;
    settings.nStrobeCount = nPosition;
    const int32_t w = nOutWidth;
    const int32_t h = nOutHeight;
    // In bands on the run's threads: HSV at 1080p costs more than the encoder. The pool
    // outlives every stage: the file, whose encoding thread runs them, is finished first.
    CBandPool* pBands = m_pBands.get();
    return [settings, w, h, pBands](const uint8_t* pSrc, uint8_t* pDst) {
        const int32_t nBands = h < kRowsPerBand * 2 || pBands == nullptr ? 1 : pBands->Threads();
        if (nBands == 1) {
            effects::TransformFrame24Rows(pDst, pSrc, w, h, 0, h, settings);
            return;
        }
        pBands->Run(nBands, [&](int32_t b) {
            effects::TransformFrame24Rows(pDst, pSrc, w, h, h * b / nBands, h * (b + 1) / nBands,
                                          settings);
        });
    };
}

bool CAviWriter::Close() {
    bool bComplete = true;
    if (pFile) {
        bComplete = pFile->Finish();
        llSoundLeftOutUs = pFile->SoundLeftOutMicroseconds();
        if (!bComplete && strFailure.empty()) {
            strFailure = pFile->FailureReason();
        }
        pFile.reset();
        // A destination removed while it was written (its folder deleted, say) is lost.
        std::error_code ec;
        if (bComplete && !std::filesystem::exists(strFileName, ec)) {
            bComplete = false;
            strFailure = std::strerror(ENOENT);
        }
    }
    BackToIdle();
    return bComplete;
}

void CAviWriter::Discard() {
    if (pFile) {
        RemoveOutput();
    }
    BackToIdle();
}

void CAviWriter::RemoveOutput() {
    pFile.reset();
    std::error_code ec;
    std::filesystem::remove(strFileName, ec);
}

void CAviWriter::BackToIdle() {
    m_pBands.reset();  // after the file: its encoding thread ran the stages that use it
    compVars = platform::CompressorChoice{};
    bActive = 0;
    bHasFileName = 0;
}
