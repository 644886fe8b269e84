// The About box and "AVI再生設定" with real widgets; and the program closing on SIGTERM.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QSettings>

#include <QCheckBox>
#include <QPushButton>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/qt/app_dialogs.h"
#include "resources/small_dialogs.h"
#include "state/app_state.h"
#include "support/test_media.h"

namespace {

TEST(PlaySettingsDialog, ClicksFlipBitZeroOfTheWorkingCopy) {
    ResetAppState();
    AppState.bRepeatPlay = 2;
    {
        CPlaySettingsDlg dialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("AVI再生設定"));
        dialog.m_btnRepeat->click();
        EXPECT_EQ(dialog.m_bRepeat, 3);
        dialog.m_btnRepeat->click();
        EXPECT_EQ(dialog.m_bRepeat, 2);
        dialog.m_btnVgaMode->click();
        dialog.m_btnVgaMode->click();
        EXPECT_EQ(dialog.m_bVgaMode, 0) << "tick and untick: the value shown on entry";
        dialog.m_btnVgaMode->click();
        EXPECT_TRUE(dialog.m_btnVgaMode->isChecked());
        EXPECT_EQ(dialog.m_bVgaMode, 1);
    }
    EXPECT_EQ(AppState.bRepeatPlay, 2) << "the dialog itself never writes AppState";
    ResetAppState();
}

// One version, defined once in the build: About shows what `quovel --version` prints, and
// its library line carries no second version of ours.
TEST(AboutBox, ShowsTheVersionTheProgramReports) {
    std::string strReported;
    if (FILE* p = popen("'" QUOVEL_BINARY "' --version", "r")) {
        char buf[128];
        while (fgets(buf, sizeof(buf), p) != nullptr) {
            strReported += buf;
        }
        pclose(p);
    }
    ASSERT_EQ(strReported.rfind("quovel ", 0), 0u) << strReported;
    const QString strVersion = QString::fromStdString(strReported.substr(7)).trimmed();
    EXPECT_EQ(CQtAppDialogs::TitleLine(),
              QStringLiteral("AVIコーデック変換ツール Ver ") + strVersion);
    EXPECT_TRUE(CQtAppDialogs::VersionLine().startsWith(QStringLiteral("FFmpeg ")));
    EXPECT_FALSE(CQtAppDialogs::VersionLine().contains(QStringLiteral("Quovel")));
}

TEST(Program, TerminationSignalClosesItAndWritesTheSettings) {
    namespace fs = std::filesystem;
    // A private copy of the program, so that its settings file lands in a folder of ours.
    const fs::path dir = fs::path(testmedia::MediaDir()) / "sigterm";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(QUOVEL_BINARY, dir / "quovel");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);  // its recent-file list too
        const std::string strExe = (dir / "quovel").string();
        const std::string strClip = testmedia::IndexedClip({});
        execl(strExe.c_str(), strExe.c_str(), strClip.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Wait until the file has opened (its recent-file entry proves it), then a little for the
    // event loop to start.
    const fs::path recentList = dir / "config" / "quovel" / "quovel.conf";
    for (int i = 0; i < 200 && !fs::exists(recentList); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(fs::exists(recentList));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, SIGTERM);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    ASSERT_TRUE(WIFEXITED(nStatus)) << "closed, not killed";
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
    std::ifstream in(dir / "quovel.prm", std::ios::binary);
    const std::string strSettings((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(strSettings.rfind("[AVI PLAYBACK CONFIGRATION]\r\n", 0), 0u) << strSettings;
}

// A batch run depends on its own options alone: the window's remembered thinning of 3 does
// not reach `quovel --convert`.
TEST(Program, TheCommandLineNeverReadsTheWindowsRememberedChoices) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(testmedia::MediaDir()) / "batch-choices";
    fs::remove_all(dir);
    fs::create_directories(dir / "config" / "quovel");
    std::ofstream(dir / "config" / "quovel" / "quovel.conf")
        << "[convert]\nthinning=3\ndestinationRateMode=1\ndestinationRate=5\n";
    const std::string strDest = (dir / "out.avi").string();
    const std::string strCommand = "XDG_CONFIG_HOME='" + (dir / "config").string() + "' '" +
                                   QUOVEL_BINARY + "' --convert '" + testmedia::IndexedClip({}) +
                                   "' '" + strDest + "' 2>/dev/null";
    ASSERT_EQ(std::system(strCommand.c_str()), 0);
    EXPECT_EQ(testmedia::Probe(strDest, "r_frame_rate,nb_read_frames"), "30/1 60");
}

// A file named on the command line opens as its bytes say, also when they are not valid in
// the locale's encoding: it plays, and the recent-file list keeps the very name.
TEST(Program, OpensACommandLineNameThatIsNotValidText) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(testmedia::MediaDir()) / "odd-name";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string strClip = (dir / "\x93\xae\x89\xe6 \xff.avi").string();
    fs::copy_file(testmedia::IndexedClip({}), strClip);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        execl(QUOVEL_BINARY, QUOVEL_BINARY, strClip.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const fs::path list = dir / "config" / "quovel" / "quovel.conf";
    for (int i = 0; i < 200 && !fs::exists(list); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, SIGTERM);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    ASSERT_TRUE(fs::exists(list)) << "the file never opened";
    QSettings settings(QString::fromStdString(list.string()), QSettings::IniFormat);
    EXPECT_EQ(settings.value("Recent File List/File1").toByteArray().toStdString(), strClip);
}

}  // namespace

namespace {

// With no display (a server, a container, ssh without X forwarding) the program says so in
// its own words and ends with a status of its own, rather than Qt aborting.
TEST(Program, WithoutADisplayItSaysSoAndEnds) {
    for (const char* pszDisplay : {"", "DISPLAY=:97.3"}) {  // none, and one nothing answers at
        const std::string strCommand =
            std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") + pszDisplay +
            " '" + QUOVEL_BINARY + "' 2>&1";
        std::string strSaid;
        int nStatus = -1;
        if (FILE* p = popen(strCommand.c_str(), "r")) {
            char buf[256];
            while (fgets(buf, sizeof(buf), p) != nullptr) {
                strSaid += buf;
            }
            nStatus = pclose(p);
        }
        ASSERT_TRUE(WIFEXITED(nStatus)) << pszDisplay << " " << strSaid;
        EXPECT_EQ(WEXITSTATUS(nStatus), 5) << pszDisplay;
        EXPECT_EQ(strSaid.rfind("quovel: ディスプレイが見つかりません", 0), 0u) << strSaid;
    }
}

}  // namespace
