// The main window while a conversion runs: its progress in the status bar and the title,
// and a close that asks first.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>

#include "app/qt/main_frame.h"
#include "app/quovel_app.h"
#include "convert/avi_writer.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"
#include "support/main_window_fixture.h"

namespace {

using uitest::FindAction;
using uitest::MainWindowTest;

// While converting: a progress bar beside the message pane with the percentage, and the
// percentage before the window title; both go when the conversion ends.
TEST_F(MainWindowTest, ConversionProgressShowsInABarAndTheTitle) {
    pFrame->show();
    const QString strTitle = pFrame->windowTitle();
    EXPECT_FALSE(pFrame->ProgressBar()->isVisible());
    AppState.bConverting = 1;
    AppState.nRangeStart = 0;
    AppState.nRangeEnd = 60;
    AppState.pWriter->nFrameCount = 30;
    AppState.strTimeText = "00:01:00 / 00:02:00";
    app.Doc().OnViewRefresh();
    EXPECT_TRUE(pFrame->ProgressBar()->isVisible());
    EXPECT_EQ(pFrame->ProgressBar()->value(), 49);  // 30 of 61 positions
    EXPECT_TRUE(pFrame->ProgressBar()->text().startsWith(QStringLiteral("49%")));
    EXPECT_EQ(pFrame->windowTitle(), QStringLiteral("49% - ") + strTitle);
    AppState.bConverting = 0;
    app.Doc().bConversionCompleted = 1;
    app.Doc().OnViewRefresh();
    EXPECT_FALSE(pFrame->ProgressBar()->isVisible());
    EXPECT_EQ(pFrame->windowTitle(), strTitle);
    AppState.pWriter->nFrameCount = 0;
    pFrame->close();
}

// The user's close during a conversion asks first: No lets the conversion go on, Yes stops
// it (the file completed) and closes.
TEST_F(MainWindowTest, ClosingDuringAConversionAsksFirst) {
    pFrame->show();
    // Paused: a playback tick while the question is up (a loaded machine shows it late) must
    // not take the stand-in conversion for one whose writer has finished.
    app.Doc().OnPlayPause();
    AppState.bConverting = 1;
    QString strAsked;
    auto answerWith = [&](QMessageBox::StandardButton button) {
        strAsked.clear();
        QTimer::singleShot(0, [&strAsked, button] {
            if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                strAsked = pBox->text();
                pBox->button(button)->click();
            }
        });
    };
    answerWith(QMessageBox::No);
    pFrame->close();  // the close box
    EXPECT_EQ(strAsked, QStringLiteral("AVI変換中です。変換を中止して終了しますか？"));
    EXPECT_TRUE(pFrame->isVisible());
    EXPECT_EQ(AppState.bConverting, 1) << "the conversion goes on";

    answerWith(QMessageBox::Yes);
    FindAction(pFrame, "ｱﾌﾟﾘｹｰｼｮﾝの終了")->trigger();
    EXPECT_FALSE(strAsked.isEmpty());
    EXPECT_FALSE(pFrame->isVisible());
    EXPECT_EQ(AppState.bConverting, 0) << "stopped, the file completed";
}

}  // namespace
