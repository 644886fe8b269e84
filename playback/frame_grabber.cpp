#include "playback/frame_grabber.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/debug_output.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"

namespace {
constexpr int64_t kUnitsPerSecond = platform::kMediaUnitsPerSecond;

void ReportCopyResult(platform::CopyResult result) {
    switch (result) {
        case platform::CopyResult::InvalidArg:
            platform::DebugOutput("E_INVALIDARG");
            break;
        case platform::CopyResult::Pointer:
            platform::DebugOutput("E_POINTER");
            break;
        case platform::CopyResult::NotConnected:
            platform::DebugOutput("NOT_CONNECTED");
            break;
        default:
            break;
    }
}
}  // namespace

int32_t WorkOutStreamLength(platform::TimeFormat format, int64_t llStop, int32_t nSrcFrameRate,
                            int64_t& llTimePerFrame) {
    using platform::TimeFormat;
    switch (format) {
        case TimeFormat::MediaTime: {
            const auto nRate = static_cast<uint32_t>(nSrcFrameRate);
            // A zero rate never gets past the settings dialog; it must not divide here either.
            llTimePerFrame = nRate == 0 ? 0 : static_cast<uint32_t>(kUnitsPerSecond) / nRate;
            // A stream of unknown length reports a huge stop position: the product must not
            // overflow, and the count saturates.
            const __int128 nFrames = static_cast<__int128>(llStop) *
                                     platform::kStreamPositionsPerSecond / kUnitsPerSecond;
            return static_cast<int32_t>(std::clamp<__int128>(nFrames, INT32_MIN, INT32_MAX));
        }
        case TimeFormat::Frame:
        case TimeFormat::Sample:
        case TimeFormat::Field:
            llTimePerFrame = 1;
            return static_cast<int32_t>(static_cast<uint32_t>(llStop));
        case TimeFormat::Byte:
        case TimeFormat::None:
            llTimePerFrame = 0;
            return 0;
        default:
            return 0;
    }
}

CFrameGrabber::CFrameGrabber(const platform::IMediaClock& clock,
                             platform::MediaGraphOptions options)
    : m_clock(clock), m_sound(m_clock, clock), m_options(options) {
    m_sound.SetPictureLead(static_cast<int64_t>(CQuovelDoc::kPlaybackIntervalMs) *
                           (kUnitsPerSecond / 1000) / 2);
}

CFrameGrabber::~CFrameGrabber() = default;

void CFrameGrabber::SetFileName(const std::string& strName) {
    strFileName = strName;
    bHasFile = 1;
}

std::unique_ptr<platform::MediaGraph> CFrameGrabber::BuildGraph(const std::string& strPath,
                                                                platform::OpenFailure* pWhy) const {
    auto pNewGraph = platform::MediaGraph::Open(strPath, m_clock, m_options, pWhy);
    dib::BitmapInfoHeader header;
    // A graph whose video could not be decoded would only ever show black.
    if (!pNewGraph || !pNewGraph->GetConnectedFormat(header)) {
        return nullptr;
    }
    return pNewGraph;
}

bool CFrameGrabber::Open(CQuovelDoc* pDoc, int32_t& nWidth, int32_t& nHeight, int32_t& nLength) {
    openFailure = {};
    auto pNewGraph = BuildGraph(strFileName, &openFailure);
    if (!pNewGraph) {
        return false;
    }
    TakeGraph(std::move(pNewGraph), pDoc, nWidth, nHeight, nLength);
    return true;
}

void CFrameGrabber::TakeGraph(std::unique_ptr<platform::MediaGraph> pNewGraph, CQuovelDoc* pDoc,
                              int32_t& nWidth, int32_t& nHeight, int32_t& nLength) {
    pDocument = pDoc;
    pGraph = std::move(pNewGraph);
    m_bImagePending = false;  // a frame selected in the graph before is gone with it
    m_undecodedAtClose.clear();
    pGraph->GetConnectedFormat(bmiHeader);
    int nNum = 0;
    int nDen = 0;
    const bool bSar = pGraph->GetSampleAspectRatio(nNum, nDen);
    nSarNum = bSar ? nNum : 0;
    nSarDen = bSar ? nDen : 0;
    llOriginMicroseconds = pGraph->OriginMicroseconds();
    nFrameWidth = bmiHeader.biWidth;
    nFrameHeight = bmiHeader.biHeight;
    nWidth = nFrameWidth;
    nHeight = nFrameHeight;

    int32_t nFrames = 0;
    int64_t llStop = 0;
    if (pGraph->GetStopPosition(llStop)) {
        nFrames = WorkOutStreamLength(pGraph->GetTimeFormat(), llStop, AppState.nSrcFrameRate,
                                      llTimePerFrame);
    }
    nLengthFrames = nFrames;
    nLength = nFrames;
}

void CFrameGrabber::Run() {
    if (bPlaying || !pGraph) {
        return;
    }
    if (AppState.bConverting) {
        // Hold the graph on the first frame of the range: the first fetch copies exactly it.
        const int64_t llStart = static_cast<int64_t>(AppState.nRangeStart) * llTimePerFrame;
        pGraph->SetPositions(&llStart, &llStart);
    } else {
        const int64_t llStart = 0;
        pGraph->SetPositions(&llStart, nullptr);
    }
    // Only a conversion hands decoded pictures on; playback keeps no extra reference.
    pGraph->KeepCopiedPicture(AppState.bConverting != 0);
    pGraph->MakeCopiesAhead(!Deferring());
    StartSound();
    pGraph->Run();
    bPaused = 0;
    nFrameCounter = 1;
    bPlaying = 1;
}

void CFrameGrabber::StartSound() {
    int64_t llPosition = 0;
    if (AppState.bConverting || !pGraph->GetCurrentPosition(llPosition)) {
        return;
    }
    // Before the graph runs: it then starts from the clock's reading as the sound starts.
    m_sound.Start(strFileName, llOriginMicroseconds, llPosition);
}

bool CFrameGrabber::FetchFrame() {
    if (!pGraph) {
        return false;
    }
    m_sound.Pump();
    if (pGraph->GetState() == platform::GraphState::Stopped) {
        Close();
        return false;
    }
    int64_t llDuration = 0;
    int64_t llPosition = 0;
    if (!pGraph->GetDuration(llDuration) || !pGraph->GetCurrentPosition(llPosition)) {
        return false;
    }
    if (llPosition >= llDuration) {
        if (bPlaying) {
            Close();
            if (AppState.bRepeatPlay == 1 && AppState.bConverting == 0) {
                AppState.bRestartPending = 1;
            }
        }
        return false;
    }
    if (bPaused == 1 || (AppState.bFrameReady && AppState.bDrawing)) {
        return false;
    }

    AppState.bFrameReady = 0;
    const platform::CopyResult selected = pGraph->SelectCurrentFrame();
    if (selected == platform::CopyResult::Ok) {
        m_bImagePending = true;
        if (!Deferring()) {
            FillFrameImage();
        }
    } else {
        // FrameImage keeps the frame before (or it stays pending): it is written again.
        ReportCopyResult(selected);
    }
    ++nFrameCounter;
    if (AppState.bConverting) {
        StepToNextFrame();
    }
    AppState.bFrameReady = 1;
    return true;
}

bool CFrameGrabber::Deferring() const {
    return m_bCopyOnDemand && AppState.bConverting != 0;
}

void CFrameGrabber::FillFrameImage() {
    if (!m_bImagePending || !pGraph) {
        return;
    }
    m_bImagePending = false;
    uint8_t* pImage = pDocument != nullptr ? pDocument->pFrameImage.get() : nullptr;
    const size_t nBytes = pDocument != nullptr ? pDocument->nImageBytes : 0;
    if (pImage == nullptr || nBytes < dib::kPixelOffset) {
        ReportCopyResult(pGraph->CopySelectedFrame(nullptr, 0));
        return;
    }
    std::memcpy(pImage + dib::kInfoHeaderOffset, &bmiHeader, sizeof(bmiHeader));
    ReportCopyResult(
        pGraph->CopySelectedFrame(pImage + dib::kPixelOffset, nBytes - dib::kPixelOffset));
}

const platform::DecodedPicture* CFrameGrabber::CopiedPicture() const {
    return pGraph ? pGraph->CopiedPicture() : nullptr;
}

void CFrameGrabber::StepToNextFrame() {
    // The counter already counts the frame just copied, so the next frame of the range is
    // nRangeStart + nFrameCounter - 1.
    pGraph->Stop();
    const uint32_t nFrame =
        static_cast<uint32_t>(nFrameCounter - 1) + static_cast<uint32_t>(AppState.nRangeStart);
    const int64_t llTarget = static_cast<int64_t>(nFrame) * llTimePerFrame;
    pGraph->SetPositions(&llTarget, &llTarget);
    pGraph->Run();
}

std::vector<int64_t> CFrameGrabber::UndecodedStarts() const {
    return pGraph ? pGraph->UndecodedStarts() : m_undecodedAtClose;
}

void CFrameGrabber::Close() {
    if (!bPlaying) {
        return;
    }
    if (pGraph) {
        pGraph->Stop();
        FillFrameImage();  // the frame fetched last stays in FrameImage, as after any run
        m_undecodedAtClose = pGraph->UndecodedStarts();
        pGraph.reset();
    }
    m_sound.Stop();
    m_bImagePending = false;
    bPlaying = 0;
}

void CFrameGrabber::TogglePause() {
    if (bPaused) {
        bPaused = 0;
        if (pGraph) {
            pGraph->KeepFramesBehind(0);  // playing goes forward only
            StartSound();
            pGraph->Run();
        }
    } else {
        bPaused = 1;
        if (pGraph) {
            pGraph->Pause();  // holds the position the clock has reached, then the sound stops
            pGraph->KeepFramesBehind(kFramesKeptBehindBytes);  // for stepping back while paused
        }
        m_sound.Stop();
    }
}

int CFrameGrabber::GetStreamLength(int32_t& nLength) const {
    if (!bHasFile) {
        return 0;
    }
    nLength = nLengthFrames;
    return 1;
}

int CFrameGrabber::GetFrameSize(int32_t& nWidth, int32_t& nHeight) const {
    if (!bHasFile) {
        return 0;
    }
    nWidth = nFrameWidth;
    nHeight = nFrameHeight;
    return 1;
}

int CFrameGrabber::GetFileName(std::string& strName) const {
    if (!bHasFile) {
        strName.clear();
        return 0;
    }
    strName = strFileName;
    return 1;
}
