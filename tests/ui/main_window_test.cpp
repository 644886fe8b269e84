// The real main window under Qt's offscreen platform.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>

#include "app/app_state.h"
#include "app/qt/command_binder.h"
#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_ui_services.h"
#include "app/qt/settings_recent_files.h"
#include "app/quovel_app.h"
#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "playback/source_codes.h"
#include "support/fakes.h"
#include "support/test_media.h"
#include "view/quovel_view.h"

namespace {

void PressKeys(QWidget* pWindow, const char* pszKeys) {
    for (QShortcut* pShortcut : pWindow->findChildren<QShortcut*>()) {
        if (pShortcut->key() == QKeySequence(QString::fromUtf8(pszKeys))) {
            emit pShortcut->activated();
        }
    }
}

QAction* FindAction(QWidget* pWindow, const QString& strPrefix) {
    for (QAction* pAction : pWindow->findChildren<QAction*>()) {
        if (pAction->text().startsWith(strPrefix)) {
            return pAction;
        }
    }
    return nullptr;
}

TEST(MainWindow, PlaysACommandLineFileInATitledWindow) {
    ResetAppState();
    const std::string strPath = testmedia::IndexedClip({});
    CQtUiServices ui;
    testfakes::FakeRecentFiles recent;
    platform::ManualMediaClock clock;
    CQtAppShell shell(ui);
    CQuovelApp app(shell, ui, recent, clock);
    ASSERT_TRUE(app.InitInstance({strPath}));
    CMainFrame* pFrame = shell.Frame();
    ASSERT_NE(pFrame, nullptr);

    const QString strTitle = QString::fromStdString(FileTitleOf(strPath));
    EXPECT_EQ(pFrame->windowTitle(), strTitle + " - Quovel");
    QStringList menus;
    for (QAction* pMenu : pFrame->menuBar()->actions()) {
        menus << pMenu->text();
    }
    EXPECT_EQ(menus, (QStringList{"ﾌｧｲﾙ(&F)", "表示(&D)", "カラー(&C)", "設定(&S)", "ﾍﾙﾌﾟ(&H)"}));

    pFrame->Binder().UpdateAll();
    EXPECT_FALSE(FindAction(pFrame, "開く(&O)")->isEnabled()) << "not while playing";
    EXPECT_TRUE(FindAction(pFrame, "再生終了(&E)")->isEnabled());
    EXPECT_FALSE(FindAction(pFrame, "再生開始(&S)")->isEnabled());
    EXPECT_TRUE(FindAction(pFrame, "等倍")->isChecked());

    // One tick draws frame 0 into the view's window at 1×.
    app.View().OnTimer(1);
    const QImage shot =
        pFrame->centralWidget()->grab().toImage().convertToFormat(QImage::Format_BGR888);
    ASSERT_GE(shot.width(), 320);
    ASSERT_GE(shot.height(), 240);
    std::vector<uint8_t> bottomUp(dib::RowBytes24(320) * 240);
    for (int y = 0; y < 240; ++y) {
        std::memcpy(bottomUp.data() + (239 - y) * dib::RowBytes24(320), shot.constScanLine(y),
                    320 * 3);
    }
    EXPECT_EQ(testmedia::ReadIndex(bottomUp.data(), 320, 240), 0);

    // Ctrl+S is the framework's save, which nothing handles: it does nothing at all.
    const auto sizeBefore = std::filesystem::file_size(strPath);
    PressKeys(pFrame, "Ctrl+S");
    EXPECT_EQ(std::filesystem::file_size(strPath), sizeBefore);
    EXPECT_EQ(AppState.pGrabber->bPlaying, 1);
    // Ctrl+N: untitled again while playback goes on.
    PressKeys(pFrame, "Ctrl+N");
    EXPECT_EQ(pFrame->windowTitle(), QStringLiteral("無題 - Quovel"));
    EXPECT_EQ(AppState.pGrabber->bPlaying, 1);

    FindAction(pFrame, "再生終了(&E)")->trigger();
    pFrame->Binder().UpdateAll();
    EXPECT_TRUE(FindAction(pFrame, "開く(&O)")->isEnabled());
    EXPECT_TRUE(FindAction(pFrame, "再生開始(&S)")->isEnabled());

    pFrame->close();
    EXPECT_EQ(AppState.pGrabber->bPlaying, 0);
    shell.DestroyMainFrame();
    app.ExitInstance();
}

TEST(MainWindow, RecentFileListKeepsFourNewestFirst) {
    QStandardPaths::setTestModeEnabled(true);
    {
        QSettings settings(QString::fromUtf8("Local AppWizard-Generated Applications"),
                           QStringLiteral("Quovel"));
        settings.clear();
    }
    {
        CSettingsRecentFiles list;
        for (const char* psz : {"/a.avi", "/b.avi", "/c.avi", "/d.avi", "/e.avi", "/c.avi"}) {
            list.Add(psz);
        }
    }
    CSettingsRecentFiles reloaded;
    EXPECT_EQ(reloaded.Entries(),
              (std::vector<std::string>{"/c.avi", "/e.avi", "/d.avi", "/b.avi"}));
}

TEST(MainWindow, OpenFilterBecomesQtFilters) {
    EXPECT_EQ(
        CQtUiServices::ToQtFilter(
            "AVI Files (*.avi)|*.avi|MPEG Files (*.mpeg;*.mpg)|*.mpeg;*.mpg|All Files (*.*)|*.*||"),
        QStringLiteral("AVI Files (*.avi);;MPEG Files (*.mpeg *.mpg);;All Files (*)"));
}

}  // namespace

int main(int argc, char** argv) {
    // Widget tests need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication qtApp(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
