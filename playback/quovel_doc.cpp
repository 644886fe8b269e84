#include "playback/quovel_doc.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include <filesystem>

#include "effects/transform_frame.h"
#include "platform/bmp_file.h"
#include "platform/dib.h"
#include "playback/failure_texts.h"
#include "playback/frame_grabber.h"
#include "playback/source_codes.h"
#include "playback/still_export.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "state/app_dialogs.h"
#include "state/app_state.h"

namespace {

bool HasGrabber() {
    return AppState.pGrabber != nullptr;
}

// Reads the start of a regular file into header (zero beyond what the file holds).
bool ReadFileStart(const std::string& strPath, uint8_t (&header)[kSourceHeaderBytes]) {
    struct stat st {};
    if (::stat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    std::FILE* pFile = std::fopen(strPath.c_str(), "rb");
    if (pFile == nullptr) {
        return false;
    }
    std::fread(header, 1, kSourceHeaderBytes, pFile);
    std::fclose(pFile);
    return true;
}

}  // namespace

CQuovelDoc::CQuovelDoc(fw::UiServices& ui, fw::IRecentFileList& recentFiles)
    : m_ui(ui), m_recentFiles(recentFiles) {
    RegisterCommands();
}

CQuovelDoc::~CQuovelDoc() = default;

void CQuovelDoc::RegisterCommands() {
    OnCommand(cmd::kFileOpen, [this] { OnFileOpen(); });
    OnCommand(cmd::kPlayStart, [this] { OnPlayStart(); });
    OnCommand(cmd::kPlayStop, [this] { OnPlayStop(); });
    OnCommand(cmd::kPlayPause, [this] { OnPlayPause(); });
    OnCommand(cmd::kViewRefresh, [this] { OnViewRefresh(); });
    OnCommand(cmd::kFileConvert, [this] { OnFileConvert(); });
    OnCommand(cmd::kConvertSettings, [this] { OnConvertSettings(); });
    OnCommand(cmd::kStillImage, [this] { SaveStillImage(); });
    OnCommand(cmd::kStillApplyEffects,
              [] { AppState.bApplyEffectsToStills = AppState.bApplyEffectsToStills != 0 ? 0 : 1; });
    OnUpdateCommand(cmd::kStillApplyEffects, [](fw::CCmdUI& ui) {
        ui.SetCheck(AppState.bApplyEffectsToStills != 0 ? 1 : 0);
    });
    OnCommand(cmd::kPlaySettings, [this] { OnPlaySettings(); });
    RegisterMoveCommands();

    // Enabling of every document command; the actions of conversion, still export and the
    // playback settings are wired where those features live.
    auto playing = [] { return HasGrabber() && AppState.pGrabber->bPlaying != 0; };
    auto stoppedWithFile = [] {
        return HasGrabber() && AppState.pGrabber->bHasFile && !AppState.pGrabber->bPlaying;
    };
    OnUpdateCommand(cmd::kFileOpen, [](fw::CCmdUI& ui) { ui.Enable(CanOpen()); });
    OnUpdateCommand(cmd::kPlayStart, [=](fw::CCmdUI& ui) { ui.Enable(stoppedWithFile()); });
    OnUpdateCommand(cmd::kPlayStop, [=](fw::CCmdUI& ui) { ui.Enable(playing()); });
    OnUpdateCommand(cmd::kPlayPause, [=](fw::CCmdUI& ui) { ui.Enable(playing()); });
    OnUpdateCommand(cmd::kFileConvert, [=, this](fw::CCmdUI& ui) {
        ui.Enable(stoppedWithFile() && m_pConversion != nullptr);
        ui.SetCheck(AppState.bConverting ? 1 : 0);
    });
    OnUpdateCommand(cmd::kConvertSettings, [this](fw::CCmdUI& ui) {
        ui.Enable(HasGrabber() && AppState.pWriter != nullptr && m_pConversion != nullptr &&
                  AppState.pGrabber->bHasFile && !AppState.bConverting);
    });
    OnUpdateCommand(cmd::kStillImage,
                    [=](fw::CCmdUI& ui) { ui.Enable(playing() && !AppState.bConverting); });
    OnUpdateCommand(cmd::kPlaySettings, [](fw::CCmdUI& ui) {
        ui.Enable(HasGrabber() && !AppState.pGrabber->bPlaying);
    });
}

bool CQuovelDoc::CanOpen() {
    return !HasGrabber() || !AppState.pGrabber->bPlaying;
}

void CQuovelDoc::FreeImages() {
    pFrameImage.reset();
    pDisplayImage.reset();
    pCropImage.reset();
    nImageBytes = 0;
}

bool CQuovelDoc::AllocateImages(int32_t nWidth, int32_t nHeight) {
    FreeImages();
    const int64_t llBytes = dib::ImageBlockBytes(nWidth, nHeight);
    if (nWidth <= 0 || nHeight <= 0 || llBytes > std::numeric_limits<uint32_t>::max()) {
        return false;
    }
    const auto n = static_cast<size_t>(llBytes);
    pFrameImage.reset(static_cast<uint8_t*>(std::calloc(n, 1)));
    pDisplayImage.reset(static_cast<uint8_t*>(std::calloc(n, 1)));
    pCropImage.reset(static_cast<uint8_t*>(std::calloc(n, 1)));
    if (!pFrameImage || !pDisplayImage || !pCropImage) {
        FreeImages();
        return false;
    }
    nImageBytes = static_cast<uint32_t>(n);
    return true;
}

void CQuovelDoc::StartPlaybackTimer(uint32_t nElapseMs) {
    if (hTimerWnd != nullptr) {
        nTimerId = hTimerWnd->SetTimer(kPlaybackTimerId, nElapseMs);
    }
}

void CQuovelDoc::StopPlaybackTimer() {
    if (hTimerWnd != nullptr) {
        hTimerWnd->KillTimer(nTimerId);
    }
}

void CQuovelDoc::OnFileOpen() {
    const auto path = m_ui.ChooseOpenFile(str::kOpenFilter, str::kOpenDefaultExt);
    if (path) {
        OpenFilePath(*path);
    }
}

bool CQuovelDoc::OpenFilePath(const std::string& strPath) {
    CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr) {
        return false;
    }
    // Everything is checked before anything changes: a file that cannot be played leaves
    // the previous one as it was, still playable.
    uint8_t header[kSourceHeaderBytes] = {};
    platform::OpenFailure why;
    auto pGraph = pGrabber->BuildGraph(strPath, &why);
    if (pGraph && !ReadFileStart(strPath, header)) {
        pGraph.reset();
        why = platform::OpenFailure::Of(platform::OpenFailure::Kind::System, std::strerror(errno));
    }
    if (!pGraph) {
        m_ui.MessageBox(FailureMessage(str::kCannotOpenFile, strPath, OpenFailureReason(why)));
        return false;
    }
    if (pGrabber->bPlaying) {
        // A recent-file entry chosen while playing: the old graph goes first.
        OnPlayStop();
    }
    pGrabber->SetFileName(strPath);
    SetTitle(FileTitleOf(strPath));
    SourceCodes codes = WorkOutSourceCodes(FileExtensionOf(strPath), header);
    AppState.strSrcHandler = std::move(codes.strHandler);
    AppState.strSrcFormat = std::move(codes.strFormat);
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    int32_t nLength = 0;
    pGrabber->TakeGraph(std::move(pGraph), this, nWidth, nHeight, nLength);
    if (!AllocateImages(nWidth, nHeight)) {
        // Out of memory for the blocks: refuse the file rather than play into nothing.
        pGrabber->DropGraphNotRun();
        m_ui.MessageBox(FailureMessage(str::kCannotOpenFile, strPath, str::kReasonNoMemory));
        return false;
    }
    AppState.nVideoWidth = nWidth;
    AppState.nVideoHeight = nHeight;
    AppState.nStreamLength = nLength;
    AppState.nRangeStart = 0;
    AppState.nRangeEnd = nLength;
    pGrabber->Run();
    StartPlaybackTimer(kPlaybackIntervalMs);
    AppState.bResizePending = 1;
    UpdateAllViews(nullptr, 0);
    m_recentFiles.Add(strPath);
    return true;
}

bool CQuovelDoc::ReopenAndRun(CFrameGrabber& grabber) {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    int32_t nLength = 0;
    if (!grabber.Open(this, nWidth, nHeight, nLength)) {
        return false;
    }
    // The blocks stay as they are: a file that changed into a larger picture meanwhile
    // would not fit them.
    if (dib::ImageBlockBytes(nWidth, nHeight) > static_cast<int64_t>(nImageBytes)) {
        grabber.DropGraphNotRun();
        return false;
    }
    grabber.Run();
    return true;
}

int CQuovelDoc::OnPlaybackTick(uint32_t /*nIdEvent*/) {
    CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr) {
        return 1;
    }
    if (pGrabber->bPlaying) {
        const bool bNewFrame = pGrabber->FetchFrame();
        if (AppState.bConverting && m_pConversion != nullptr &&
            !m_pConversion->Tick(*pGrabber, bNewFrame)) {
            return 1;
        }
        UpdateAllViews(nullptr, 0);
        return 1;
    }
    if (AppState.bRestartPending) {
        AppState.bRestartPending = 0;
        return ReopenAndRun(*pGrabber) ? 1 : 0;
    }
    StopPlaybackTimer();
    return 1;
}

void CQuovelDoc::OnPlayStart() {
    StartPlayback();
}

bool CQuovelDoc::StartPlayback() {
    CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr || !ReopenAndRun(*pGrabber)) {
        return false;
    }
    const uint32_t nInterval = AppState.bConverting && AppState.nTimerFrameRate > 0
                                   ? 1000u / static_cast<uint32_t>(AppState.nTimerFrameRate)
                                   : kPlaybackIntervalMs;
    StartPlaybackTimer(nInterval);
    UpdateAllViews(nullptr, 0);
    return true;
}

void CQuovelDoc::OnPlayStop() {
    if (AppState.pGrabber != nullptr) {
        AppState.pGrabber->Close();
    }
    if (AppState.bConverting) {
        EndConversion();  // a file that could not be completed is said by the conversion
    }
    UpdateAllViews(nullptr, 0);
}

bool CQuovelDoc::EndConversion() {
    if (m_pConversion == nullptr) {
        AppState.bConverting = 0;
        return true;
    }
    return m_pConversion->End();
}

void CQuovelDoc::OnFileConvert() {
    if (m_pConversion != nullptr) {
        m_pConversion->Start();
    }
}

void CQuovelDoc::OnConvertSettings() {
    if (m_pConversion != nullptr) {
        m_pConversion->EditSettings();
    }
}

void CQuovelDoc::AttachConversion(std::unique_ptr<IDocumentConversion> pConversion) {
    m_pConversion = std::move(pConversion);
}

void CQuovelDoc::SaveStillImage() {
    if (AppState.bConverting || AppState.pGrabber == nullptr || !AppState.pGrabber->bPlaying ||
        !pFrameImage) {
        return;
    }
    if (AppState.bApplyEffectsToStills == 0) {
        ExportStillImage(m_ui, pFrameImage.get());
        return;
    }
    // The picture as shown: the frame through the colour mode and settings of the last draw.
    std::vector<uint8_t> shown(pFrameImage.get(), pFrameImage.get() + nImageBytes);
    effects::EffectSettings settings = effects::ScreenEffectSettings();
    settings.nStrobeCount = std::max(settings.nStrobeCount - 1, 0);
    dib::BitmapInfoHeader header;
    std::memcpy(&header, pFrameImage.get() + dib::kInfoHeaderOffset, sizeof(header));
    if (header.biBitCount == 24) {
        effects::TransformFrame24(shown.data() + dib::kPixelOffset,
                                  pFrameImage.get() + dib::kPixelOffset, header.biWidth,
                                  header.biHeight, settings);
    }
    ExportStillImage(m_ui, shown.data());
}

void CQuovelDoc::OnPlaySettings() {
    if (m_pDialogs == nullptr) {
        return;
    }
    int32_t bRepeat = AppState.bRepeatPlay;
    int32_t bVgaMode = AppState.bVgaFullScreen;
    if (m_pDialogs->EditPlaySettings(bRepeat, bVgaMode)) {
        AppState.bRepeatPlay = bRepeat;
        AppState.bVgaFullScreen = bVgaMode;
    }
}

void CQuovelDoc::OnPlayPause() {
    if (AppState.pGrabber != nullptr) {
        AppState.pGrabber->TogglePause();
    }
    UpdateAllViews(nullptr, 0);
}

void CQuovelDoc::OnViewRefresh() {
    UpdateAllViews(nullptr, 0);
}

void CQuovelDoc::OnCloseDocument() {
    if (AppState.pGrabber != nullptr) {
        AppState.pGrabber->Close();
    }
    EndConversion();  // leaving during a conversion completes the file
    fw::CDocument::OnCloseDocument();
}
