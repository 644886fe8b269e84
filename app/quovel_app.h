#pragma once
// The application object: starts the window set, creates the frame grabber once the main
// window is shown, and takes everything down again at exit.
#include <memory>
#include <string>
#include <vector>

#include "framework/cmd_target.h"
#include "framework/ui_services.h"
#include "platform/compressor.h"
#include "platform/media_clock.h"
#include "platform/sound_output.h"

class CQuovelApp;
class CQuovelDoc;
class CQuovelView;
class CFrameGrabber;
class CAviWriter;
class CConversionRun;
class IAppDialogs;

// The windowing side of start-up and shutdown.
class IAppShell {
  public:
    virtual ~IAppShell() = default;
    // Creates the main frame around the application's view, adds the frame to the command
    // chain and runs the view's initial update. False fails start-up.
    virtual bool CreateMainFrame(CQuovelApp& app) = 0;
    virtual void ShowMainWindow() = 0;
};

// The recent-file list as the menu shows it.
class IRecentFileStore : public fw::IRecentFileList {
  public:
    virtual const std::vector<std::string>& Entries() const = 0;
    // An entry that no longer opens leaves the list.
    virtual void Remove(const std::string& strPath) = 0;
};

class CQuovelApp : public fw::CCmdTarget {
  public:
    CQuovelApp(IAppShell& shell, fw::UiServices& ui, IRecentFileStore& recentFiles,
               const platform::IMediaClock& clock, platform::ICompressorChooser& chooser);
    ~CQuovelApp() override;

    // Start-up; args are the command-line arguments after the program name. False ends the
    // process (ExitInstance still runs).
    bool InitInstance(const std::vector<std::string>& args);
    int ExitInstance();

    // Where the settings file lives: beside this executable (or the per-user folder). Without
    // it no settings file is read or written.
    void SetExecutablePath(const std::string& strPath) { m_strExecutablePath = strPath; }
    void SetDialogs(IAppDialogs* pDialogs);
    // Where playback's sound goes (before InitInstance); none plays without.
    void SetSoundOutput(platform::ISoundOutput* pOutput) { m_pSoundOutput = pOutput; }

    // The user asks to close the main window: false when a conversion is running and the
    // user would rather let it go on.
    bool MayCloseMainWindow();
    // The main window is closing: the document closes (and with it the graph).
    void OnMainWindowClosing();

    CQuovelDoc& Doc() { return *m_pDoc; }
    // The document's conversion run (its settings editor is set by the window's side).
    CConversionRun& Conversion() { return *m_pConversion; }
    CQuovelView& View() { return *m_pView; }
    const fw::CCommandRouter& Router() const { return m_router; }
    // The frame takes its place in the command chain between document and application.
    void SetFrameTarget(fw::CCmdTarget* pFrame);
    IRecentFileStore& RecentFiles() { return m_recentFiles; }

  private:
    void RegisterCommands();
    void OnFileNew();
    void OnOpenRecentFile(size_t nIndex);
    void OnAppAbout();
    // The volume and mute in AppState, to the sound playing and the ones after.
    void ApplySoundVolume();
    void StepSoundVolume(int32_t nStep);
    // The volume and mute in the status bar, after a change.
    void ShowSoundVolume();

    IAppShell& m_shell;
    fw::UiServices& m_ui;
    IRecentFileStore& m_recentFiles;
    const platform::IMediaClock& m_clock;
    std::unique_ptr<CQuovelDoc> m_pDoc;
    CConversionRun* m_pConversion = nullptr;  // owned by the document
    std::unique_ptr<CQuovelView> m_pView;
    platform::ICompressorChooser& m_chooser;
    std::unique_ptr<CFrameGrabber> m_pGrabber;
    std::unique_ptr<CAviWriter> m_pWriter;
    fw::CCommandRouter m_router;
    std::string m_strExecutablePath;
    IAppDialogs* m_pDialogs = nullptr;
    platform::ISoundOutput* m_pSoundOutput = nullptr;
};
