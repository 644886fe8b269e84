#include "app/quovel_app.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "app/settings_file.h"
#include "convert/avi_writer.h"
#include "convert/conversion_run.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "resources/text_format.h"
#include "state/app_dialogs.h"
#include "state/app_state.h"
#include "view/quovel_view.h"

CQuovelApp::CQuovelApp(IAppShell& shell, fw::UiServices& ui, IRecentFileStore& recentFiles,
                       const platform::IMediaClock& clock, platform::ICompressorChooser& chooser)
    : m_shell(shell), m_ui(ui), m_recentFiles(recentFiles), m_clock(clock), m_chooser(chooser) {
    RegisterCommands();
}

CQuovelApp::~CQuovelApp() {
    // Neither object may outlive the record that points at it.
    if (AppState.pGrabber == m_pGrabber.get()) {
        AppState.pGrabber = nullptr;
    }
    if (AppState.pWriter == m_pWriter.get()) {
        AppState.pWriter = nullptr;
    }
}

void CQuovelApp::RegisterCommands() {
    OnCommand(cmd::kFileNew, [this] { OnFileNew(); });
    OnCommand(cmd::kAppAbout, [this] { OnAppAbout(); });
    OnCommand(cmd::kSoundMute, [this] {
        AppState.bSoundMuted = AppState.bSoundMuted != 0 ? 0 : 1;
        ApplySoundVolume();
        ShowSoundVolume();
    });
    OnUpdateCommand(cmd::kSoundMute,
                    [](fw::CCmdUI& ui) { ui.SetCheck(AppState.bSoundMuted != 0 ? 1 : 0); });
    OnCommand(cmd::kSoundVolumeUp, [this] { StepSoundVolume(kSoundVolumeStep); });
    OnUpdateCommand(cmd::kSoundVolumeUp,
                    [](fw::CCmdUI& ui) { ui.Enable(AppState.nSoundVolume < 100); });
    OnCommand(cmd::kSoundVolumeDown, [this] { StepSoundVolume(-kSoundVolumeStep); });
    OnUpdateCommand(cmd::kSoundVolumeDown,
                    [](fw::CCmdUI& ui) { ui.Enable(AppState.nSoundVolume > 0); });
    for (cmd::Id nId = cmd::kFileMruFirst; nId <= cmd::kFileMruLast; ++nId) {
        const size_t nIndex = nId - cmd::kFileMruFirst;
        OnCommand(nId, [this, nIndex] { OnOpenRecentFile(nIndex); });
        OnUpdateCommand(nId, [this, nIndex](fw::CCmdUI& ui) {
            ui.Enable(CQuovelDoc::CanOpen() && nIndex < m_recentFiles.Entries().size());
        });
    }
}

void CQuovelApp::SetFrameTarget(fw::CCmdTarget* pFrame) {
    m_router.SetChain({m_pView.get(), m_pDoc.get(), pFrame, this});
}

bool CQuovelApp::InitInstance(const std::vector<std::string>& args) {
    // The single-document window set: document, view, and the frame the shell builds.
    m_pDoc = std::make_unique<CQuovelDoc>(m_ui, m_recentFiles);
    m_pDoc->SetAppDialogs(m_pDialogs);
    m_pView = std::make_unique<CQuovelView>();
    m_pView->AttachDocument(m_pDoc.get());
    m_pDoc->SetTitle(str::kUntitled);
    SetFrameTarget(nullptr);

    if (!m_shell.CreateMainFrame(*this)) {
        return false;
    }
    if (!m_strExecutablePath.empty()) {
        LoadSettings(ChooseSettingsFiles(m_strExecutablePath).strRead);
    }
    m_shell.ShowMainWindow();
    m_pGrabber = std::make_unique<CFrameGrabber>(m_clock);
    m_pGrabber->SetSoundOutput(m_pSoundOutput);
    AppState.pGrabber = m_pGrabber.get();
    ApplySoundVolume();
    m_pWriter = std::make_unique<CAviWriter>(m_chooser, *m_pGrabber);
    AppState.pWriter = m_pWriter.get();
    // The convert commands work through the grabber and writer, so they come with them.
    auto pConversion = std::make_unique<CConversionRun>(*m_pDoc, m_ui, *m_pGrabber, *m_pWriter);
    m_pConversion = pConversion.get();
    m_pDoc->AttachConversion(std::move(pConversion));

    // A file named on the command line opens and plays as through the open command, which
    // needs the grabber: so it comes last.
    for (const std::string& strArg : args) {
        if (!strArg.empty() && strArg[0] != '-') {
            // Absolute, so that the recent-file list finds it from anywhere.
            m_pDoc->OpenFilePath(std::filesystem::absolute(strArg).string());
            break;
        }
    }
    return true;
}

int CQuovelApp::ExitInstance() {
    if (!m_strExecutablePath.empty()) {
        const std::string strPath = ChooseSettingsFiles(m_strExecutablePath).strWrite;
        if (std::string strWhy; !SaveSettings(strPath, &strWhy)) {
            std::cerr << "quovel: " << str::kSettingsNotSaved << " (" << strPath << ": " << strWhy
                      << ")\n";
        }
    }
    if (m_pDoc) {
        m_pDoc->AttachConversion(nullptr);  // it works through the two below
        m_pConversion = nullptr;
    }
    if (m_pGrabber) {
        m_pGrabber->Close();
        AppState.pGrabber = nullptr;
        m_pGrabber.reset();
    }
    if (m_pWriter) {
        AppState.pWriter = nullptr;
        m_pWriter.reset();  // an output still open is finished, so the file is complete
    }
    return 0;
}

void CQuovelApp::SetDialogs(IAppDialogs* pDialogs) {
    m_pDialogs = pDialogs;
    if (m_pDoc) {
        m_pDoc->SetAppDialogs(pDialogs);
    }
}

void CQuovelApp::ApplySoundVolume() {
    if (m_pGrabber) {
        m_pGrabber->SetSoundVolume(AppState.bSoundMuted != 0 ? 0.0 : AppState.nSoundVolume / 100.0);
    }
}

void CQuovelApp::ShowSoundVolume() {
    m_pView->ShowMessage(str::Format(
        AppState.bSoundMuted != 0 ? str::kStatusMuted : str::kStatusVolume, AppState.nSoundVolume));
}

void CQuovelApp::StepSoundVolume(int32_t nStep) {
    // A remembered volume between the steps lands on one.
    const int32_t nVolume = (AppState.nSoundVolume + (nStep < 0 ? kSoundVolumeStep - 1 : 0)) /
                                kSoundVolumeStep * kSoundVolumeStep +
                            nStep;
    AppState.nSoundVolume = std::clamp(nVolume, 0, 100);
    ApplySoundVolume();
    ShowSoundVolume();
}

void CQuovelApp::OnAppAbout() {
    if (m_pDialogs != nullptr) {
        m_pDialogs->ShowAbout();
    }
}

bool CQuovelApp::MayCloseMainWindow() {
    return !AppState.bConverting || m_ui.AskYesNo(str::kStopConversionToExit);
}

void CQuovelApp::OnMainWindowClosing() {
    if (m_pDoc) {
        m_pDoc->OnCloseDocument();
    }
}

void CQuovelApp::OnFileNew() {
    // Back to the untitled document; playback goes on untouched.
    m_pDoc->OnNewDocument();
    m_pView->OnInitialUpdate();
}

void CQuovelApp::OnOpenRecentFile(size_t nIndex) {
    if (nIndex < m_recentFiles.Entries().size()) {
        const std::string strPath = m_recentFiles.Entries()[nIndex];  // opening reorders the list
        if (!m_pDoc->OpenFilePath(strPath)) {
            m_recentFiles.Remove(strPath);
        }
    }
}
