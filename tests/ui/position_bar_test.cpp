// The position bar in the real window: what it says, where its clicks and drags take the
// picture, and that it stays outside the picture's area.
#include <gtest/gtest.h>

#include <QLayout>
#include <QToolBar>

#include "app/qt/main_frame.h"
#include "app/qt/position_bar.h"
#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_state.h"
#include "support/main_window_fixture.h"
#include "view/qt/video_widget.h"

namespace {

// 90 frames at 30 a second, one key frame in 30 with B-frames.
class PositionBarTest : public uitest::MainWindowTest {
  protected:
    testmedia::ClipSpec Clip() const override {
        return {320,  240, 30, 90, "-c:v libx264 -preset ultrafast -g 30 -bf 2 -sc_threshold 0",
                "mp4"};
    }
    int Shown() {
        return testmedia::ReadIndex(app.Doc().pFrameImage.get() + dib::kPixelOffset, 320, 240);
    }
};

TEST_F(PositionBarTest, ItSaysWhereThePictureIsAndTakesItWhereItIsMoved) {
    CPositionBar* pBar = pFrame->PositionBar();
    ASSERT_TRUE(pFrame->PositionToolBar()->isVisibleTo(pFrame));
    EXPECT_EQ(CPositionBar::TimeText(37'123'450'000), "1:01:52.345");

    // A drag shows the key frame before the handle at once; the release, the exact frame.
    emit pBar->MoveRequested(55 * platform::kMediaUnitsPerSecond / 30 + 10'000, false);
    EXPECT_EQ(Shown(), 30);
    emit pBar->MoveRequested(55 * platform::kMediaUnitsPerSecond / 30 + 10'000, true);
    EXPECT_EQ(Shown(), 55);
    EXPECT_EQ(AppState.pGrabber->bPaused, 0) << "moving does not pause";
    EXPECT_EQ(pBar->Text(), "0:00:01.833 / 0:00:03.000  #55");
    EXPECT_EQ(pBar->Slider()->value(), 1833);

    // A click on the groove goes where it was clicked (here: the far end).
    app.Doc().OnPlayPause();
    CPositionSlider* pSlider = pBar->Slider();
    emit pSlider->ClickedAt(pSlider->maximum());
    EXPECT_EQ(Shown(), 89);

    // The range marked shows; the bar follows the frame steps.
    app.Router().Execute(cmd::kGoFirstFrame);
    app.Router().Execute(cmd::kMarkRangeStart);
    app.Router().Execute(cmd::kGoSecondForward);
    app.Router().Execute(cmd::kMarkRangeEnd);
    EXPECT_EQ(AppState.nRangeStart, 0);
    EXPECT_EQ(AppState.nRangeEnd, 30);
    EXPECT_EQ(pBar->Text(), "0:00:01.000 / 0:00:03.000  #30");

    // While converting, the conversion owns the position: the bar is off.
    AppState.bConverting = 1;
    app.Doc().UpdateAllViews(nullptr, 0);
    EXPECT_FALSE(pBar->isEnabled());
    AppState.bConverting = 0;
}

TEST_F(PositionBarTest, ItStaysOutsideThePictureAndOutOfFullScreen) {
    CVideoWidget* pVideo = pFrame->VideoWidget();
    auto client = [pVideo] { return pVideo->ClientSizeWithoutScrollBars(); };
    app.Router().Execute(cmd::kZoom2);
    EXPECT_EQ(client(), QSize(640, 480));

    // Hidden from the menu: the window shrinks by the bar, the picture keeps its area.
    const int nWithBar = pFrame->height();
    ASSERT_TRUE(app.Router().Execute(cmd::kViewPositionBar));
    EXPECT_EQ(AppState.bPositionBar, 0);
    EXPECT_FALSE(pFrame->PositionToolBar()->isVisibleTo(pFrame));
    pFrame->layout()->activate();
    EXPECT_EQ(client(), QSize(640, 480));
    EXPECT_LT(pFrame->height(), nWithBar);
    ASSERT_TRUE(app.Router().Execute(cmd::kViewPositionBar));
    pFrame->layout()->activate();
    EXPECT_EQ(client(), QSize(640, 480));
    EXPECT_EQ(pFrame->height(), nWithBar);

    // Not in full screen, and back after it.
    app.Router().Execute(cmd::kViewFullScreen);
    EXPECT_FALSE(pFrame->PositionToolBar()->isVisibleTo(pFrame));
    app.View().OnEscapeKey();
    EXPECT_TRUE(pFrame->PositionToolBar()->isVisibleTo(pFrame));
}

}  // namespace
