#include "app/quovel_app.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "playback/source_codes.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "state/app_state.h"
#include "support/fakes.h"
#include "support/test_media.h"
#include "support/unprivileged.h"
#include "view/quovel_view.h"

namespace {

// Records what start-up exposes to the windows while they are being created.
class FakeShell final : public IAppShell {
  public:
    bool CreateMainFrame(CQuovelApp& app) override {
        bGrabberDuringCreation = AppState.pGrabber != nullptr;
        app.View().AttachWindow(&surface, &frame);
        app.View().OnInitialUpdate();
        fw::CCmdUI ui(cmd::kPlayStop);
        app.Router().Update(ui);
        bStopEnabledDuringCreation = ui.m_bEnabled;
        return bCreateSucceeds;
    }
    void ShowMainWindow() override { bGrabberWhenShown = AppState.pGrabber != nullptr; }

    bool bCreateSucceeds = true;
    bool bGrabberDuringCreation = true;
    bool bGrabberWhenShown = true;
    bool bStopEnabledDuringCreation = true;
    testfakes::FakeSurface surface;
    testfakes::FakeFrame frame;
};

class QuovelAppTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override { ResetAppState(); }

    FakeShell shell;
    testfakes::ScriptedUi ui;
    testfakes::FakeRecentFiles recent;
    platform::ManualMediaClock clock;
    testfakes::ScriptedChooser chooser;
    CQuovelApp app{shell, ui, recent, clock, chooser};
};

TEST_F(QuovelAppTest, GrabberComesAfterTheWindowIsShownAndGoesAtExit) {
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_FALSE(shell.bGrabberDuringCreation);
    EXPECT_FALSE(shell.bGrabberWhenShown);
    EXPECT_FALSE(shell.bStopEnabledDuringCreation);
    EXPECT_EQ(shell.surface.nBlits, 0) << "nothing to draw before a file";
    ASSERT_NE(AppState.pGrabber, nullptr);
    EXPECT_EQ(app.Doc().GetTitle(), str::kUntitled);
    EXPECT_EQ(app.Doc().hTimerWnd, &shell.surface);
    app.ExitInstance();
    EXPECT_EQ(AppState.pGrabber, nullptr);
}

TEST_F(QuovelAppTest, SettingsAreReadBeforeTheWindowShowsAndWrittenAtExit) {
    const std::string strDir = testmedia::MediaDir() + "/app-settings";
    std::filesystem::remove_all(strDir);
    std::filesystem::create_directories(strDir);
    std::ofstream(strDir + "/quovel.prm", std::ios::binary) << "Color Coordination Mode = 7\r\n";
    app.SetExecutablePath(strDir + "/quovel");
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_EQ(AppState.nColorMode, 7);
    EXPECT_EQ(AppState.pEffectDlg, nullptr) << "no dialog at start-up for a restored mode";
    AppState.bRepeatPlay = 1;
    app.ExitInstance();
    std::ifstream in(strDir + "/quovel.prm", std::ios::binary);
    const std::string strSaved((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(strSaved.find("AVI-File Play Repete Mode = 1\r\n"), std::string::npos);
    EXPECT_NE(strSaved.find("Color Coordination Mode = 7\r\n"), std::string::npos);
}

// A settings file beside the executable that this user cannot write (a read-only copy, one
// left by another user): a change made in one run is what the next run starts with.
TEST_F(QuovelAppTest, SettingsPersistPastAReadOnlyFileBesideTheExecutable) {
    namespace fs = std::filesystem;
    const std::string strDir = testmedia::MediaDir() + "/app-settings-readonly";
    fs::remove_all(strDir);
    fs::create_directories(strDir + "/config");
    const std::string strBeside = strDir + "/quovel.prm";
    std::ofstream(strBeside, std::ios::binary) << "Color Coordination Mode = 5\r\n";
    fs::permissions(strBeside,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    setenv("XDG_CONFIG_HOME", (strDir + "/config").c_str(), 1);

    // One run of the program: start, read the mode, let the test change it, exit.
    auto run = [&](int nNewMode) {
        FakeShell runShell;
        CQuovelApp runApp{runShell, ui, recent, clock, chooser};
        runApp.SetExecutablePath(strDir + "/quovel");
        ResetAppState();
        if (!runApp.InitInstance({})) {
            return 99;
        }
        const int nRead = AppState.nColorMode;
        if (nNewMode >= 0) {
            AppState.nColorMode = nNewMode;
        }
        runApp.ExitInstance();
        return nRead;
    };
    EXPECT_EQ(testsupport::RunWithoutFileOverride([&] { return run(7); }), 5)
        << "the read-only file is read while nothing newer exists";
    EXPECT_EQ(testsupport::RunWithoutFileOverride([&] { return run(2); }), 7)
        << "the change of the first run";
    EXPECT_EQ(testsupport::RunWithoutFileOverride([&] { return run(-1); }), 2);
    unsetenv("XDG_CONFIG_HOME");
}

TEST_F(QuovelAppTest, FailedWindowCreationEndsStartUpWithoutAGrabber) {
    shell.bCreateSucceeds = false;
    EXPECT_FALSE(app.InitInstance({}));
    EXPECT_EQ(AppState.pGrabber, nullptr);
    app.ExitInstance();
}

TEST_F(QuovelAppTest, CommandLineFileOpensAndPlaysLikeTheOpenCommand) {
    const std::string strPath = testmedia::IndexedClip({});
    ASSERT_TRUE(app.InitInstance({"-style", strPath}));
    EXPECT_EQ(AppState.pGrabber->bPlaying, 1);
    EXPECT_EQ(shell.surface.Interval(), 33u);
    EXPECT_EQ(recent.entries, std::vector<std::string>{strPath});
    EXPECT_EQ(app.Doc().GetTitle(), FileTitleOf(strPath));

    // Ticks arrive through the view and draw.
    app.View().OnTimer(1);
    EXPECT_EQ(shell.surface.nBlits, 1) << "the open itself had no frame ready to draw";
    EXPECT_EQ(shell.frame.nFits, 2) << "at the initial update and for the new picture";

    // Ctrl+N: untitled again, playback untouched.
    EXPECT_TRUE(app.Router().Execute(cmd::kFileNew));
    EXPECT_EQ(app.Doc().GetTitle(), str::kUntitled);
    EXPECT_EQ(AppState.pGrabber->bPlaying, 1);

    app.OnMainWindowClosing();
    EXPECT_EQ(AppState.pGrabber->bPlaying, 0) << "closing the document closes the graph";
    app.ExitInstance();
}

TEST_F(QuovelAppTest, RecentFileEntryOpensAndPlays) {
    const std::string strPath = testmedia::IndexedClip({});
    recent.entries = {testmedia::MediaDir() + "/older.avi", strPath};
    ASSERT_TRUE(app.InitInstance({}));
    fw::CCmdUI entry(cmd::kFileMruFirst + 1);
    app.Router().Update(entry);
    EXPECT_TRUE(entry.m_bEnabled);
    fw::CCmdUI unused(cmd::kFileMruFirst + 2);
    app.Router().Update(unused);
    EXPECT_FALSE(unused.m_bEnabled);

    ASSERT_TRUE(app.Router().Execute(cmd::kFileMruFirst + 1));
    EXPECT_EQ(AppState.pGrabber->bPlaying, 1);
    EXPECT_EQ(recent.entries.front(), strPath);
    app.Router().Update(entry);
    EXPECT_FALSE(entry.m_bEnabled) << "like the open command, not while playing";

    // An entry whose file is gone says so and leaves the list; the clip before stays.
    app.Doc().OnPlayStop();
    ASSERT_TRUE(app.Router().Execute(cmd::kFileMruFirst + 1));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind("指定ファイルが開けません\n", 0), 0u) << ui.messages[0];
    EXPECT_NE(ui.messages[0].find(": No such file or directory"), std::string::npos);
    EXPECT_EQ(recent.entries, std::vector<std::string>{strPath});
    EXPECT_EQ(app.Doc().GetTitle(), FileTitleOf(strPath));
    app.ExitInstance();
}

}  // namespace

namespace {

TEST_F(QuovelAppTest, SoundCommandsSetTheVolumeOfTheSoundPlayingAndTheNext) {
    testfakes::FakeSoundOutput device;
    app.SetSoundOutput(&device);
    AppState.nSoundVolume = 75;  // as remembered from an earlier run
    const std::string strPath = testmedia::MakeClip(
        "app-sound", "-f lavfi -i color=gray:s=160x120:r=30:d=2 -f lavfi -i sine=d=2 -c:v mpeg4",
        "avi");
    ASSERT_TRUE(app.InitInstance({strPath}));
    ASSERT_TRUE(device.bRunning) << "the file's sound plays";
    EXPECT_DOUBLE_EQ(device.dVolume, 0.75);
    auto state = [this](cmd::Id nId) {
        fw::CCmdUI cmdUi(nId);
        app.Router().Update(cmdUi);
        return std::pair(cmdUi.m_bEnabled, cmdUi.m_nCheck);
    };

    EXPECT_TRUE(app.Router().Execute(cmd::kSoundVolumeDown));
    EXPECT_EQ(AppState.nSoundVolume, 70) << "onto the steps";
    EXPECT_EQ(shell.frame.strStatus, "音量 70%");
    EXPECT_TRUE(app.Router().Execute(cmd::kSoundVolumeUp));
    EXPECT_TRUE(app.Router().Execute(cmd::kSoundVolumeUp));
    EXPECT_DOUBLE_EQ(device.dVolume, 0.9);
    EXPECT_TRUE(app.Router().Execute(cmd::kSoundMute));
    EXPECT_EQ(device.dVolume, 0.0);
    EXPECT_EQ(state(cmd::kSoundMute), std::pair(true, 1));
    EXPECT_EQ(shell.frame.strStatus, "ミュート中（音量 90%）");
    EXPECT_TRUE(app.Router().Execute(cmd::kSoundVolumeUp));
    EXPECT_EQ(device.dVolume, 0.0) << "muted stays muted";
    EXPECT_EQ(state(cmd::kSoundVolumeUp), std::pair(false, 0)) << "at the top";
    EXPECT_TRUE(app.Router().Execute(cmd::kSoundMute));
    EXPECT_DOUBLE_EQ(device.dVolume, 1.0);
    EXPECT_EQ(state(cmd::kSoundMute), std::pair(true, 0));
    for (int i = 0; i < 12; ++i) {
        app.Router().Execute(cmd::kSoundVolumeDown);
    }
    EXPECT_EQ(AppState.nSoundVolume, 0);
    EXPECT_EQ(state(cmd::kSoundVolumeDown), std::pair(false, 0)) << "at the bottom";

    // The next file's sound starts at the volume chosen.
    AppState.nSoundVolume = 30;
    app.Router().Execute(cmd::kSoundVolumeUp);
    app.Doc().OnPlayStop();
    device.dVolume = -1;
    ASSERT_TRUE(app.Doc().OpenFilePath(strPath));
    EXPECT_DOUBLE_EQ(device.dVolume, 0.4);
    app.OnMainWindowClosing();
    EXPECT_FALSE(device.bRunning) << "closing the window stops the sound";
    app.ExitInstance();
}

}  // namespace
