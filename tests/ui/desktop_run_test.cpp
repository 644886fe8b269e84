// The desktop program as main runs it, closed by each of the ways a user or the system closes
// it while the colour settings dialog is open.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include "app/qt/desktop_run.h"
#include "app/qt/japanese_ui.h"
#include "app/qt/main_frame.h"
#include "convert/avi_writer.h"
#include "effects/qt/effect_settings_dlg.h"
#include "state/app_state.h"
#include "support/test_media.h"

namespace {

enum class CloseBy { ExitCommand, CloseBox, Terminate };

QAction* FindAction(QWidget* pWindow, const QString& strPrefix) {
    for (QAction* pAction : pWindow->findChildren<QAction*>()) {
        if (pAction->text().startsWith(strPrefix)) {
            return pAction;
        }
    }
    return nullptr;
}

CMainFrame* MainFrame() {
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        if (auto* pFrame = qobject_cast<CMainFrame*>(pWidget)) {
            return pFrame;
        }
    }
    return nullptr;
}

std::string FreshFolder(const std::string& strName) {
    const std::string strDir = testmedia::MediaDir() + "/" + strName;
    std::filesystem::remove_all(strDir);
    std::filesystem::create_directories(strDir);
    return strDir;
}

struct EndedRun {
    int nResult = -1;
    bool bHung = false;        // the event loop did not end by itself
    bool bWindowLeft = false;  // a window was still on screen afterwards
    std::string strSettings;   // the settings file written beside the executable
};

// The desktop program as main runs it, with the executable in strDir. Should it not end,
// the test still does: every window is closed by force after a generous while.
EndedRun RunUntilItEnds(const std::vector<std::string>& args, const std::string& strDir) {
    EndedRun run;
    // The remembered choices and recent files of this run stay in its own folder.
    setenv("XDG_CONFIG_HOME", (strDir + "/config").c_str(), 1);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        run.bHung = true;
        QApplication::closeAllWindows();
        QApplication::exit(1);
    });
    watchdog.start(30'000);
    run.nResult = RunDesktop(args, strDir + "/quovel");
    QApplication::processEvents();
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        run.bWindowLeft = run.bWindowLeft || pWidget->isVisible();
    }
    std::ifstream in(strDir + "/quovel.prm", std::ios::binary);
    run.strSettings.assign(std::istreambuf_iterator<char>(in), {});
    unsetenv("XDG_CONFIG_HOME");
    return run;
}

class DesktopRunTest : public ::testing::TestWithParam<CloseBy> {};

TEST_P(DesktopRunTest, ClosingWithTheColourDialogOpenEndsTheProgram) {
    ResetAppState();
    const std::string strDir =
        FreshFolder("desktop-run-" + std::to_string(static_cast<int>(GetParam())));

    bool bDialogOwned = false;
    QString strOpenTitle;
    QTimer::singleShot(0, [&] {
        // Qt's own dialogs speak Japanese too: the open dialog's default title.
        strOpenTitle = QCoreApplication::translate("QFileDialog", "Open");
        CMainFrame* pFrame = MainFrame();
        ASSERT_NE(pFrame, nullptr);
        FindAction(pFrame, QStringLiteral("YUV変調"))->trigger();
        CEffectSettingsDlg* pDialog = AppState.pEffectDlg;
        ASSERT_NE(pDialog, nullptr);
        bDialogOwned =
            pDialog->isVisible() && pDialog->isWindow() && pDialog->parentWidget() == pFrame;
        switch (GetParam()) {
            case CloseBy::ExitCommand:
                FindAction(pFrame, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了"))->trigger();
                break;
            case CloseBy::CloseBox:
                pFrame->close();  // what the window manager's close asks for
                break;
            case CloseBy::Terminate:
                AppState.bConverting = 1;  // a signal never asks, not even mid-conversion
                std::raise(SIGTERM);
                break;
        }
    });
    const EndedRun run = RunUntilItEnds({}, strDir);
    EXPECT_EQ(run.nResult, 0);
    EXPECT_FALSE(run.bHung);
    EXPECT_FALSE(run.bWindowLeft);
    EXPECT_TRUE(bDialogOwned) << "the dialog is a window of the main window";
    EXPECT_EQ(strOpenTitle, QStringLiteral("開く"));
    EXPECT_EQ(AppState.pEffectDlg, nullptr);
    EXPECT_NE(run.strSettings.find("Color Coordination Mode = 4\r\n"), std::string::npos)
        << run.strSettings;
    ResetAppState();
}

// A termination signal while a modal dialog runs its own loop: the dialog is cancelled and the
// program still ends, with its settings written. At start-up (a file on the command line
// that cannot be opened shows its message before the main loop runs) and from a command.
TEST(DesktopRunModal, TerminationDuringAModalDialogEndsTheProgram) {
    for (const bool bAtStartUp : {true, false}) {
        ResetAppState();
        const std::string strDir =
            FreshFolder(std::string("desktop-run-modal-") + (bAtStartUp ? "start" : "about"));
        bool bModalSeen = false;
        std::function<void()> whenModal = [&] {
            if (QApplication::activeModalWidget() == nullptr) {
                QTimer::singleShot(10, whenModal);  // not up yet
                return;
            }
            bModalSeen = true;
            AppState.nColorMode = 9;
            std::raise(SIGTERM);
        };
        QTimer::singleShot(0, [&] {
            if (!bAtStartUp) {
                FindAction(MainFrame(), QStringLiteral("Quovel のﾊﾞｰｼﾞｮﾝ情報"))->trigger();
            }
        });
        QTimer::singleShot(0, whenModal);
        const EndedRun run =
            RunUntilItEnds(bAtStartUp ? std::vector<std::string>{strDir + "/no such clip.avi"}
                                      : std::vector<std::string>{},
                           strDir);
        EXPECT_EQ(run.nResult, 0);
        EXPECT_TRUE(bModalSeen);
        EXPECT_FALSE(run.bHung) << "at start-up " << bAtStartUp;
        EXPECT_FALSE(run.bWindowLeft);
        EXPECT_NE(run.strSettings.find("Color Coordination Mode = 9\r\n"), std::string::npos)
            << "at start-up " << bAtStartUp;
    }
    ResetAppState();
}

// The levels and conversion choices of one run are there at the next start, before the
// first drawing, with the compressor the dialog offers first; quovel.prm keeps its four lines.
TEST(DesktopRunRestart, ChoicesSurviveARestart) {
    ResetAppState();
    const std::string strDir = FreshFolder("desktop-run-restart");
    QTimer::singleShot(0, [] {
        AppState.nColorMode = 4;
        AppState.nYuvLevel[0] = 77;
        AppState.nPaintLevels = 6;
        AppState.nThinning = 2;
        AppState.bDvCrop = 1;
        AppState.pWriter->initialChoice = {platform::MakeFourCC('M', 'J', 'P', 'G'), 0, 60, 0, {}};
        MainFrame()->close();
    });
    ASSERT_EQ(RunUntilItEnds({}, strDir).nResult, 0);

    ResetAppState();
    std::vector<int32_t> seen;
    uint32_t nOffered = 0;
    QTimer::singleShot(0, [&] {
        seen = {AppState.nColorMode, AppState.nYuvLevel[0], AppState.nPaintLevels,
                AppState.nThinning, AppState.bDvCrop};
        nOffered = AppState.pWriter->initialChoice.nFourCC;
        MainFrame()->close();
    });
    const EndedRun second = RunUntilItEnds({}, strDir);
    EXPECT_EQ(seen, (std::vector<int32_t>{4, 77, 6, 2, 1}));
    EXPECT_EQ(nOffered, platform::MakeFourCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(std::count(second.strSettings.begin(), second.strSettings.end(), '\n'), 4);
    ResetAppState();
}

TEST(JapaneseUi, QtStandardButtonsAndFileDialogsReadInJapanese) {
    QTranslator texts;
    ASSERT_TRUE(InstallJapaneseQtTexts(texts)) << "Debian's qt6-translations-l10n";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"),
              QStringLiteral("名前を付けて保存"));
    QCoreApplication::removeTranslator(&texts);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Open"));
}

INSTANTIATE_TEST_SUITE_P(EveryWay, DesktopRunTest,
                         ::testing::Values(CloseBy::ExitCommand, CloseBy::CloseBox,
                                           CloseBy::Terminate),
                         [](const auto& param) {
                             switch (param.param) {
                                 case CloseBy::ExitCommand:
                                     return "ExitCommand";
                                 case CloseBy::CloseBox:
                                     return "CloseBox";
                                 default:
                                     return "Sigterm";
                             }
                         });

}  // namespace
