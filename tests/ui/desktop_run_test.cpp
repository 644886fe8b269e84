// The desktop program as main runs it, closed by each of the ways a user or the system closes
// it while the colour settings dialog is open.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QTimer>

#include "app/app_state.h"
#include "app/qt/desktop_run.h"
#include "app/qt/main_frame.h"
#include "effects/qt/effect_settings_dlg.h"
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

class DesktopRunTest : public ::testing::TestWithParam<CloseBy> {};

TEST_P(DesktopRunTest, ClosingWithTheColourDialogOpenEndsTheProgram) {
    ResetAppState();
    const std::string strDir = testmedia::MediaDir() + "/desktop-run-" +
                               std::to_string(static_cast<int>(GetParam()));
    std::filesystem::remove_all(strDir);
    std::filesystem::create_directories(strDir);

    bool bDialogOwned = false;
    QTimer::singleShot(0, [&] {
        CMainFrame* pFrame = MainFrame();
        ASSERT_NE(pFrame, nullptr);
        FindAction(pFrame, QStringLiteral("YUV変調"))->trigger();
        CEffectSettingsDlg* pDialog = AppState.pEffectDlg;
        ASSERT_NE(pDialog, nullptr);
        bDialogOwned = pDialog->isVisible() && pDialog->isWindow() &&
                       pDialog->parentWidget() == pFrame;
        switch (GetParam()) {
            case CloseBy::ExitCommand:
                FindAction(pFrame, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了"))->trigger();
                break;
            case CloseBy::CloseBox:
                pFrame->close();  // what the window manager's close asks for
                break;
            case CloseBy::Terminate:
                std::raise(SIGTERM);
                break;
        }
    });
    // Should the program not end, the test must still: every window is closed by force.
    bool bHung = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        bHung = true;
        QApplication::closeAllWindows();
        QApplication::exit(1);
    });
    watchdog.start(30'000);

    EXPECT_EQ(RunDesktop({}, strDir + "/quovel"), 0);
    EXPECT_FALSE(bHung) << "the event loop did not end by itself";
    EXPECT_TRUE(bDialogOwned) << "the dialog is a window of the main window";
    EXPECT_EQ(AppState.pEffectDlg, nullptr);
    QApplication::processEvents();
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(pWidget->isVisible()) << pWidget->metaObject()->className();
    }
    std::ifstream in(strDir + "/quovel.prm", std::ios::binary);
    const std::string strSaved((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(strSaved.find("Color Coordination Mode = 4\r\n"), std::string::npos) << strSaved;
    ResetAppState();
}

// A termination signal while a modal dialog runs its own loop: the dialog is cancelled and the
// program still ends, with its settings written. At start-up (a file on the command line
// that cannot be opened shows its message before the main loop runs) and from a command.
TEST(DesktopRunModal, TerminationDuringAModalDialogEndsTheProgram) {
    for (const bool bAtStartUp : {true, false}) {
        ResetAppState();
        const std::string strDir =
            testmedia::MediaDir() + "/desktop-run-modal-" + (bAtStartUp ? "start" : "about");
        std::filesystem::remove_all(strDir);
        std::filesystem::create_directories(strDir);
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
        bool bHung = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            bHung = true;
            QApplication::closeAllWindows();
            QApplication::exit(1);
        });
        watchdog.start(30'000);
        const std::vector<std::string> args =
            bAtStartUp ? std::vector<std::string>{strDir + "/no such clip.avi"}
                       : std::vector<std::string>{};
        EXPECT_EQ(RunDesktop(args, strDir + "/quovel"), 0);
        EXPECT_TRUE(bModalSeen);
        EXPECT_FALSE(bHung) << "at start-up " << bAtStartUp;
        QApplication::processEvents();
        for (QWidget* pWidget : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(pWidget->isVisible()) << pWidget->metaObject()->className();
        }
        std::ifstream in(strDir + "/quovel.prm", std::ios::binary);
        const std::string strSaved((std::istreambuf_iterator<char>(in)), {});
        EXPECT_NE(strSaved.find("Color Coordination Mode = 9\r\n"), std::string::npos)
            << "at start-up " << bAtStartUp;
    }
    ResetAppState();
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
