// The position bar in the real window: what it says, where its clicks and drags take the
// picture, and that it stays outside the picture's area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include <QApplication>
#include <QLayout>
#include <QMouseEvent>
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
    // The frame index in what the view draws (at any zoom: the bands are read at 1×).
    int DrawnIndex() {
        const QImage shot = pFrame->VideoWidget()->viewport()->grab().toImage().convertToFormat(
            QImage::Format_BGR888);
        const QImage picture = shot.scaled(shot.width() * 320 / std::max(shot.width(), 1),
                                           shot.height() * 240 / std::max(shot.height(), 1));
        std::vector<uint8_t> bottomUp(dib::RowBytes24(320) * 240);
        for (int y = 0; y < 240 && y < picture.height(); ++y) {
            std::memcpy(bottomUp.data() + (239 - y) * dib::RowBytes24(320),
                        picture.constScanLine(y), 320 * 3);
        }
        return testmedia::ReadIndex(bottomUp.data(), 320, 240);
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

// The mouse on the real slider, paused: a click on the groove goes to the exact frame there;
// a drag from the handle shows frames on the way that never pass the handle, and the release
// settles on the handle's frame, which is what the view draws.
TEST_F(PositionBarTest, TheMouseDragsTheHandleAndThePictureFollows) {
    app.Router().Execute(cmd::kZoom2);
    app.Doc().OnPlayPause();
    CPositionSlider* pSlider = pFrame->PositionBar()->Slider();
    pFrame->layout()->activate();
    ASSERT_GT(pSlider->width(), 200);
    const int y = pSlider->height() / 2;
    auto mouse = [pSlider, y](QEvent::Type type, int x, Qt::MouseButtons buttons) {
        const QPointF at(x, y);
        QMouseEvent event(type, at, pSlider->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(pSlider, &event);
    };
    // The slider counts whole ms, so a frame's start reads up to 1 ms early: a position read
    // within 1 ms before a frame's start is that frame.
    auto frameOf = [](int nMs) { return (nMs + 1) * 30 / 1000; };

    const int x0 = pSlider->width() / 5;
    mouse(QEvent::MouseButtonPress, x0, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, x0, Qt::NoButton);
    const int nClicked = frameOf(pSlider->value());
    ASSERT_GT(nClicked, 0);
    EXPECT_EQ(Shown(), nClicked);

    mouse(QEvent::MouseButtonPress, x0, Qt::LeftButton);
    ASSERT_TRUE(pSlider->isSliderDown()) << "pressed on the handle";
    int nBefore = Shown();
    int nBetweenKeyFrames = 0;
    for (int x = x0 + 4; x < pSlider->width() * 4 / 5; x += 4) {
        mouse(QEvent::MouseMove, x, Qt::LeftButton);
        const int nHandle = frameOf(pSlider->sliderPosition());
        EXPECT_LE(Shown(), nHandle);
        EXPECT_GE(Shown(), std::min(nBefore, nHandle / 30 * 30)) << "on, or the key frame";
        nBefore = Shown();
        nBetweenKeyFrames += Shown() % 30 != 0 ? 1 : 0;
    }
    EXPECT_GT(nBetweenKeyFrames, 0) << "more than key frames";
    mouse(QEvent::MouseButtonRelease, pSlider->width() * 4 / 5, Qt::NoButton);
    const int nReleased = frameOf(pSlider->value());
    EXPECT_GT(nReleased, nClicked + 30);
    EXPECT_EQ(Shown(), nReleased);
    EXPECT_EQ(DrawnIndex(), nReleased);
}

// A time-lapse's frames, two a second: a click falls well inside one. A hand's click trembles
// (the pointer moves a pixel or two between press and release): the picture lands on the frame
// clicked all the same, and a still click asks for one move, not one more on the release.
class SlowClipPositionBarTest : public uitest::MainWindowTest {
  protected:
    testmedia::ClipSpec Clip() const override {
        return {320, 240, 2, 20, "-c:v libx264 -preset ultrafast -g 4", "mp4"};
    }
};

TEST_F(SlowClipPositionBarTest, AClickThatTremblesLandsOnTheFrameClicked) {
    CPositionBar* pBar = pFrame->PositionBar();
    CPositionSlider* pSlider = pBar->Slider();
    app.Router().Execute(cmd::kZoom2);
    pFrame->layout()->activate();
    const int y = pSlider->height() / 2;
    std::vector<std::pair<int64_t, bool>> moves;
    QObject::connect(pBar, &CPositionBar::MoveRequested, [&moves](int64_t llPosition, bool bExact) {
        moves.emplace_back(llPosition, bExact);
    });
    auto mouse = [pSlider, y](QEvent::Type type, int x, Qt::MouseButtons buttons) {
        const QPointF at(x, y);
        QMouseEvent event(type, at, pSlider->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(pSlider, &event);
    };
    auto shown = [this] {
        return testmedia::ReadIndex(app.Doc().pFrameImage.get() + dib::kPixelOffset, 320, 240);
    };
    constexpr int64_t kFrameUnits = platform::kMediaUnitsPerSecond / 2;
    // A point on the groove in the middle of a frame's half second, two pixels from its ends.
    const int64_t llPixelUnits = 10 * platform::kMediaUnitsPerSecond / pSlider->width() + 1;
    int x = pSlider->width() / 2;
    for (;; ++x) {
        ASSERT_LT(x, pSlider->width() * 3 / 4);
        moves.clear();
        mouse(QEvent::MouseButtonPress, x, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, x, Qt::NoButton);
        ASSERT_FALSE(moves.empty());
        const int64_t llInFrame = moves.front().first % kFrameUnits;
        if (llInFrame > 3 * llPixelUnits && kFrameUnits - llInFrame > 3 * llPixelUnits) {
            break;
        }
        app.Router().Execute(cmd::kGoFirstFrame);
    }
    const int64_t nClickedFrame = moves.front().first / kFrameUnits;
    EXPECT_EQ(moves.size(), 1U) << "a still click asks for one move";
    EXPECT_EQ(shown(), nClickedFrame);

    for (const bool bPaused : {true, false}) {
        for (const int nTremble : {1, -1, 2, -2}) {
            app.Router().Execute(cmd::kGoFirstFrame);
            if ((AppState.pGrabber->bPaused != 0) != bPaused) {
                app.Doc().OnGoPlayPause();
            }
            mouse(QEvent::MouseButtonPress, x, Qt::LeftButton);
            mouse(QEvent::MouseMove, x + nTremble, Qt::LeftButton);
            mouse(QEvent::MouseButtonRelease, x + nTremble, Qt::NoButton);
            EXPECT_EQ(shown(), nClickedFrame)
                << (bPaused ? "paused" : "playing") << ", trembling " << nTremble << " px";
        }
    }
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
