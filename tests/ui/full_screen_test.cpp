// Full screen on the real main window: the round trip, its ways in and out, the 640×480
// switch and a window that must never outgrow the screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/qt/command_binder.h"
#include "app/qt/main_frame.h"
#include "platform/display_modes.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_state.h"
#include "support/main_window_fixture.h"
#include "view/qt/video_widget.h"
#include "view/quovel_view.h"

namespace {

using uitest::FindAction;
using uitest::MainWindowTest;
using uitest::PressKeys;

TEST_F(MainWindowTest, FullScreenRoundTripRestoresTheFrame) {
    pFrame->showMaximized();
    const QRect rcNormal = pFrame->normalGeometry();
    ASSERT_TRUE(app.Router().Execute(cmd::kViewFullScreen));
    EXPECT_EQ(pFrame->geometry(), pFrame->screen()->geometry()) << "covers the screen";
    EXPECT_FALSE(pFrame->menuBar()->isVisible());
    EXPECT_FALSE(pFrame->statusBar()->isVisible());
    EXPECT_TRUE(pFrame->ToolBar()->isWindow()) << "floating";
    EXPECT_FALSE(pFrame->ToolBar()->isVisible());
    EXPECT_EQ(pFrame->ToolBar()->pos(), QPoint(10, 10));

    app.View().OnTimer(1);  // a drawing in full screen: 1× and 2× off, full screen pressed
    EXPECT_FALSE(pFrame->ToolButton(cmd::kZoom1)->isEnabled());
    EXPECT_TRUE(pFrame->ToolButton(cmd::kViewFullScreen)->isChecked());

    app.View().OnRButtonDown();
    EXPECT_TRUE(pFrame->ToolBar()->isVisible());
    app.View().OnRButtonDown();
    EXPECT_FALSE(pFrame->ToolBar()->isVisible());

    app.View().OnLButtonDown();
    EXPECT_FALSE(pFrame->isFullScreen());
    EXPECT_FALSE(pFrame->isMaximized()) << "back in its normal size";
    EXPECT_EQ(pFrame->geometry(), rcNormal);
    EXPECT_TRUE(pFrame->menuBar()->isVisible());
    EXPECT_TRUE(pFrame->statusBar()->isVisible());
    EXPECT_FALSE(pFrame->ToolBar()->isWindow());
    EXPECT_TRUE(pFrame->ToolBar()->isVisible());
    EXPECT_EQ(pFrame->toolBarArea(pFrame->ToolBar()), Qt::TopToolBarArea);
    pFrame->close();
}

// Full screen as players do it, through the real window: a double click on the picture, F11,
// Esc; and the view is black around the picture and before any file.
TEST_F(MainWindowTest, FullScreenByDoubleClickF11AndEscOnBlack) {
    pFrame->show();
    QWidget* pViewport = pFrame->VideoWidget()->viewport();
    auto click = [&](QEvent::Type type) {
        QMouseEvent event(type, QPointF(20, 20), pViewport->mapToGlobal(QPointF(20, 20)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pViewport, &event);
    };
    auto key = [&](int nKey) {
        QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier);
        QApplication::sendEvent(pFrame, &press);
    };
    auto full = [&] { return app.View().m_bFullScreen == 1 && !pFrame->menuBar()->isVisible(); };
    click(QEvent::MouseButtonPress);
    click(QEvent::MouseButtonDblClick);
    EXPECT_TRUE(full());
    key(Qt::Key_Escape);
    EXPECT_FALSE(full());
    key(Qt::Key_F11);
    EXPECT_TRUE(full());
    click(QEvent::MouseButtonPress);
    click(QEvent::MouseButtonDblClick);
    EXPECT_FALSE(full());
    EXPECT_EQ(pViewport->palette().color(pViewport->backgroundRole()), QColor(Qt::black));
    pFrame->close();
}

// A display that takes every switch and records it.
class RecordingDisplay final : public platform::IDisplayModes {
  public:
    explicit RecordingDisplay(std::vector<std::string>& calls) : m_calls(calls) {}
    bool SwitchTo(int nWidth, int nHeight) override {
        m_calls.push_back(std::to_string(nWidth) + "x" + std::to_string(nHeight));
        return true;
    }
    void Restore() override { m_calls.push_back("restore"); }

  private:
    std::vector<std::string>& m_calls;
};

// With the 640×480 switch on, the window covers the new mode at once, not the screen size Qt
// still reports; closing the window in full screen gives the display mode back.
TEST_F(MainWindowTest, FullScreenAt640x480CoversTheNewModeAndClosingRestoresIt) {
    std::vector<std::string> calls;
    pFrame->UseDisplayModes(std::make_unique<RecordingDisplay>(calls));
    pFrame->show();
    AppState.bVgaFullScreen = 1;
    ASSERT_TRUE(app.Router().Execute(cmd::kViewFullScreen));
    EXPECT_EQ(calls, std::vector<std::string>{"640x480"});
    EXPECT_NE(pFrame->screen()->geometry().size(), QSize(640, 480)) << "Qt has not seen it yet";
    EXPECT_EQ(pFrame->geometry(), QRect(0, 0, 640, 480));
    pFrame->close();  // the close box, the window manager, a termination signal
    EXPECT_EQ(calls, (std::vector<std::string>{"640x480", "restore"}));
}

// The full-screen button is pressed exactly while full screen is on, through the idle
// updates and when full screen is left from the floating toolbar.
TEST_F(MainWindowTest, FullScreenButtonFollowsFullScreen) {
    pFrame->show();
    QToolButton* pButton = pFrame->ToolButton(cmd::kViewFullScreen);
    pButton->click();
    app.View().OnRButtonDown();  // the floating toolbar
    ASSERT_TRUE(pButton->isVisible());
    pFrame->Binder().UpdateAll();
    EXPECT_TRUE(pButton->isChecked()) << "pressed through an idle update";
    pButton->setAttribute(Qt::WA_UnderMouse);  // the pointer on the floating button
    pButton->click();
    EXPECT_FALSE(pFrame->isFullScreen());
    pFrame->Binder().UpdateAll();
    EXPECT_FALSE(pButton->isChecked());
    EXPECT_FALSE(pButton->underMouse());
    pFrame->close();
}

// However large the picture and zoom, the window fits the screen and the view scrolls.
class VgaClipWindowTest : public MainWindowTest {
  protected:
    testmedia::ClipSpec Clip() const override { return {640, 480, 30, 10, "-c:v mpeg4", "avi"}; }
};

TEST_F(VgaClipWindowTest, TheWindowNeverOutgrowsTheScreen) {
    const QRect rcAvailable = pFrame->screen()->availableGeometry();
    for (const cmd::Id nZoom : {cmd::kZoom1, cmd::kZoom2, cmd::kZoom4}) {
        ASSERT_TRUE(app.Router().Execute(nZoom));
        app.View().OnTimer(1);
        EXPECT_TRUE(rcAvailable.contains(pFrame->frameGeometry()))
            << "zoom id " << nZoom << ": " << pFrame->width() << "x" << pFrame->height();
    }
    EXPECT_EQ(app.Doc().nZoom, 4) << "the zoom stays as chosen";
    auto* pVideo = pFrame->VideoWidget();
    EXPECT_GT(pVideo->horizontalScrollBar()->maximum(), 0) << "the rest scrolls";
    EXPECT_GT(pVideo->verticalScrollBar()->maximum(), 0);
}

}  // namespace
