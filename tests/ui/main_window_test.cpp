// The real main window under Qt's offscreen platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/qt/command_binder.h"
#include "app/qt/dialog_builder.h"
#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_ui_services.h"
#include "app/qt/settings_choice_store.h"
#include "app/qt/settings_recent_files.h"
#include "app/quovel_app.h"
#include "convert/avi_writer.h"
#include "platform/dib.h"
#include "platform/display_modes.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "playback/source_codes.h"
#include "resources/accelerators.h"
#include "resources/command_ids.h"
#include "resources/command_prompts.h"
#include "resources/compressor_dialog.h"
#include "resources/convert_dialog.h"
#include "resources/effect_dialog.h"
#include "resources/menus.h"
#include "resources/small_dialogs.h"
#include "resources/strings.h"
#include "resources/toolbar.h"
#include "state/app_state.h"
#include "support/fakes.h"
#include "support/main_window_fixture.h"
#include "support/test_media.h"
#include "view/qt/video_widget.h"
#include "view/quovel_view.h"

namespace {

using uitest::FindAction;
using uitest::MainWindowTest;
using uitest::PressKeys;

TEST(MainWindow, PlaysACommandLineFileInATitledWindow) {
    ResetAppState();
    const std::string strPath = testmedia::IndexedClip({});
    uitest::QtAppRig rig;
    CQtAppShell& shell = rig.shell;
    CQuovelApp& app = rig.app;
    ASSERT_TRUE(app.InitInstance({strPath}));
    CMainFrame* pFrame = shell.Frame();
    ASSERT_NE(pFrame, nullptr);

    const QString strTitle = QString::fromStdString(FileTitleOf(strPath));
    EXPECT_EQ(pFrame->windowTitle(), strTitle + " - Quovel");
    QStringList menus;
    for (QAction* pMenu : pFrame->menuBar()->actions()) {
        menus << pMenu->text();
    }
    EXPECT_EQ(menus, (QStringList{"ﾌｧｲﾙ(&F)", "表示(&D)", "移動(&G)", "カラー(&C)", "設定(&S)",
                                  "ﾍﾙﾌﾟ(&H)"}));

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

    // Ctrl+S is play, disabled while playing: nothing is written, nothing changes.
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
        QSettings earlier(QString::fromUtf8("Local AppWizard-Generated Applications"),
                          QStringLiteral("Quovel"));
        earlier.clear();
        earlier.setValue("Recent File List/File1", "/earlier.avi");  // where it was kept before
        QSettings settings = OpenChoicesFile();
        settings.clear();
    }
    EXPECT_EQ(CSettingsRecentFiles().Entries(), std::vector<std::string>{"/earlier.avi"})
        << "taken over from the earlier place";
    {
        CSettingsRecentFiles list;
        for (const char* psz : {"/a.avi", "/b.avi", "/c.avi", "/d.avi", "/e.avi", "/c.avi"}) {
            list.Add(psz);
        }
    }
    CSettingsRecentFiles reloaded;
    EXPECT_EQ(reloaded.Entries(),
              (std::vector<std::string>{"/c.avi", "/e.avi", "/d.avi", "/b.avi"}));
    // A name that is not valid UTF-8 comes back byte for byte.
    const std::string strOdd = "/clips/\x93\xae\x89\xe6 \xff.avi";
    reloaded.Add(strOdd);
    EXPECT_EQ(CSettingsRecentFiles().Entries().front(), strOdd);
}

TEST(MainWindow, OpenFilterBecomesQtFilters) {
    EXPECT_EQ(
        CQtUiServices::ToQtFilter(
            "AVI Files (*.avi)|*.avi|MPEG Files (*.mpeg;*.mpg)|*.mpeg;*.mpg|All Files (*.*)|*.*||"),
        QStringLiteral("AVI Files (*.avi);;MPEG Files (*.mpeg *.mpg);;All Files (*)"));
    const QStringList filters = CQtUiServices::ToQtFilter(str::kOpenFilter).split(";;");
    ASSERT_EQ(filters.size(), 4);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("動画ファイル (*.avi *.mpg")))
        << "the default";
    EXPECT_TRUE(filters[0].contains(QStringLiteral(" *.mp4 ")));
}

TEST_F(MainWindowTest, ToolBarHoldsTheCommandsInOrder) {
    QStringList tips;
    for (QAction* pAction : pFrame->ToolBar()->actions()) {
        if (pAction->isSeparator()) {
            tips << "|";
        } else if (auto* pButton =
                       qobject_cast<QToolButton*>(pFrame->ToolBar()->widgetForAction(pAction))) {
            tips << pButton->toolTip();
            EXPECT_FALSE(pButton->icon().isNull()) << pButton->toolTip().toStdString();
        }
    }
    EXPECT_EQ(tips.join(' '), QStringLiteral("開く AVI変換 再生 ポーズ 停止 終了 | 等倍 ２倍 | "
                                             "全画面 | 変換設定 再生設定 静止画保存"));
    EXPECT_EQ(pFrame->ToolButton(cmd::kPlayStop)->statusTip(), QStringLiteral("再生停止"));
}

// What holds for every command the window offers: each menu item and toolbar button reaches
// a handler and has a prompt for the status bar, and each accelerator reaches a handler but
// for the framework's editing and pane keys, which nothing here handles; within a menu no two
// items share a mnemonic.
TEST_F(MainWindowTest, EveryOfferedCommandIsHandledAndExplained) {
    const std::vector<cmd::Id> unhandledFrameworkKeys = {cmd::kEditUndo, cmd::kEditCut,
                                                         cmd::kEditCopy, cmd::kEditPaste,
                                                         cmd::kNextPane, cmd::kPrevPane};
    std::vector<cmd::Id> offered;
    for (const res::MenuDef& def : res::MainMenu()) {
        std::set<QChar> mnemonics;
        for (const res::MenuEntry& entry : def.entries) {
            if (entry.kind != res::MenuEntryKind::Item) {
                continue;
            }
            offered.push_back(entry.nId);
            const QString strText = QString::fromUtf8(entry.pszText);
            const qsizetype nAmp = strText.indexOf('&');
            if (nAmp >= 0 && nAmp + 1 < strText.size()) {
                EXPECT_TRUE(mnemonics.insert(strText[nAmp + 1].toUpper()).second)
                    << def.pszTitle << ": " << entry.pszText;
            }
        }
    }
    for (const cmd::Id nId : res::ToolBarButtons()) {
        if (nId != 0) {
            offered.push_back(nId);
        }
    }
    for (const cmd::Id nId : offered) {
        EXPECT_TRUE(app.Router().Handles(nId)) << nId;
        if (nId != cmd::kViewRefresh) {  // the one command the resources give no prompt
            EXPECT_FALSE(res::StatusPrompt(nId).empty()) << nId;
        }
    }
    for (const res::Accelerator& accel : res::Accelerators()) {
        const bool bFramework =
            std::find(unhandledFrameworkKeys.begin(), unhandledFrameworkKeys.end(), accel.nId) !=
            unhandledFrameworkKeys.end();
        EXPECT_EQ(app.Router().Handles(accel.nId), !bFramework) << accel.pszKey;
    }
    // The window binds each key of the table once.
    EXPECT_EQ(static_cast<size_t>(pFrame->findChildren<QShortcut*>().size()),
              res::Accelerators().size());
}

// Every menu item that shows a key shows the one bound to its command, and the key fires
// only while the command is enabled.
TEST_F(MainWindowTest, ShortcutsShownInTheMenusWork) {
    int nShown = 0;
    for (const res::MenuDef& def : res::MainMenu()) {
        for (const res::MenuEntry& entry : def.entries) {
            if (!entry.bShowsKey) {
                continue;
            }
            ++nShown;
            const char* pszKey = res::ShownKey(entry.nId);
            ASSERT_NE(pszKey, nullptr) << entry.pszText << " shows a key it has not";
            QAction* pAction = nullptr;
            for (QAction* pCandidate : pFrame->findChildren<QAction*>()) {
                if (pCandidate->text().startsWith(QString::fromUtf8(entry.pszText) + '\t')) {
                    pAction = pCandidate;
                }
            }
            ASSERT_NE(pAction, nullptr) << entry.pszText;
            EXPECT_EQ(pAction->text(),
                      QString::fromUtf8(entry.pszText) + '\t' + QString::fromUtf8(pszKey));
        }
    }
    EXPECT_EQ(nShown, 20);

    PressKeys(pFrame, "Ctrl+S");  // playing: play is disabled
    EXPECT_EQ(AppState.pGrabber->bPlaying, 1);
    PressKeys(pFrame, "Ctrl+P");
    EXPECT_EQ(AppState.pGrabber->bPaused, 1);
    PressKeys(pFrame, "Ctrl+P");
    EXPECT_EQ(AppState.pGrabber->bPaused, 0);
    PressKeys(pFrame, "Ctrl+E");
    EXPECT_EQ(AppState.pGrabber->bPlaying, 0);
    PressKeys(pFrame, "Ctrl+B");  // nothing plays: no still image, no dialog
    PressKeys(pFrame, "Ctrl+E");
    PressKeys(pFrame, "Ctrl+S");
    EXPECT_EQ(AppState.pGrabber->bPlaying, 1);
    PressKeys(pFrame, "Ctrl+R");  // playing: conversion is disabled, no dialog
    EXPECT_EQ(AppState.bConverting, 0);

    PressKeys(pFrame, "Right");
    EXPECT_EQ(AppState.pGrabber->bPaused, 1) << "a step pauses";
    PressKeys(pFrame, "Space");
    EXPECT_EQ(AppState.pGrabber->bPaused, 0);

    PressKeys(pFrame, "M");
    EXPECT_EQ(AppState.bSoundMuted, 1);
    PressKeys(pFrame, "M");
    EXPECT_EQ(AppState.bSoundMuted, 0);
    PressKeys(pFrame, "Ctrl+Down");
    EXPECT_EQ(AppState.nSoundVolume, 90);
    PressKeys(pFrame, "Ctrl+Up");
    EXPECT_EQ(AppState.nSoundVolume, 100);
}

TEST_F(MainWindowTest, MenuAndToolBarFollowThePlaybackState) {
    pFrame->show();
    pFrame->Binder().UpdateAll();
    auto enabled = [&](cmd::Id nId) {
        return std::pair{pFrame->Binder().Action(nId, QString())->isEnabled(),
                         pFrame->ToolButton(nId)->isEnabled()};
    };
    EXPECT_EQ(enabled(cmd::kFileOpen), std::pair(false, false));
    EXPECT_EQ(enabled(cmd::kPlayStop), std::pair(true, true));
    EXPECT_EQ(enabled(cmd::kStillImage), std::pair(true, true));
    EXPECT_TRUE(pFrame->ToolButton(cmd::kZoom1)->isChecked());

    app.Router().Execute(cmd::kPlayStop);
    pFrame->Binder().UpdateAll();
    EXPECT_EQ(enabled(cmd::kFileOpen), std::pair(true, true));
    EXPECT_EQ(enabled(cmd::kPlayStart), std::pair(true, true));
    EXPECT_EQ(enabled(cmd::kPlayPause), std::pair(false, false));
    EXPECT_EQ(enabled(cmd::kConvertSettings), std::pair(true, true)) << "a file and a writer";
    pFrame->close();
}

// After a conversion the pane keeps its last progress; a command under the pointer makes it
// idle again.
TEST_F(MainWindowTest, HoveringACommandReturnsTheMessagePaneToReady) {
    pFrame->SetStatusText("00:02:00 / 00:02:00");
    auto paneTexts = [&] {
        QStringList texts;
        for (QLabel* pLabel : pFrame->statusBar()->findChildren<QLabel*>()) {
            texts << pLabel->text();
        }
        return texts;
    };
    EXPECT_TRUE(paneTexts().contains(QStringLiteral("00:02:00 / 00:02:00")));
    QStatusTipEvent tip(QStringLiteral("既存のﾌｧｲﾙを開く"));
    QApplication::sendEvent(pFrame, &tip);
    QStatusTipEvent gone{QString()};
    QApplication::sendEvent(pFrame, &gone);
    EXPECT_TRUE(paneTexts().contains(QStringLiteral("ﾚﾃﾞｨ")))
        << paneTexts().join('|').toStdString();
    EXPECT_FALSE(paneTexts().contains(QStringLiteral("00:02:00 / 00:02:00")));
}

TEST_F(MainWindowTest, DroppedFileOpensOnlyWhenOpenIsEnabled) {
    const std::string strSecond =
        testmedia::IndexedClip({160, 120, 30, 45, "-c:v mjpeg -q:v 3", "avi"});
    auto drop = [&] {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(strSecond))});
        QWidget* pTarget = pFrame->VideoWidget()->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pTarget, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pTarget, &event);
    };
    drop();  // playing: refused, like the open command
    EXPECT_NE(pFrame->windowTitle(), QString::fromStdString(FileTitleOf(strSecond)) + " - Quovel");
    app.Router().Execute(cmd::kPlayStop);
    drop();
    EXPECT_EQ(pFrame->windowTitle(), QString::fromStdString(FileTitleOf(strSecond)) + " - Quovel");
    EXPECT_EQ(AppState.pGrabber->bPlaying, 1);
    EXPECT_EQ(AppState.nVideoWidth, 160);
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
