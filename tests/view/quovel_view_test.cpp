#include "view/quovel_view.h"

#include <gtest/gtest.h>

#include "convert/avi_writer.h"
#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "support/test_media.h"

namespace {

class QuovelViewTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    void SetUp() override {
        view.AttachDocument(&doc);
        view.AttachWindow(&surface, &frame);
        router.SetChain({&view, &doc});
    }

    void OpenAndDraw() {
        ui.answers.push_back(testmedia::IndexedClip({}));
        doc.OnFileOpen();
        doc.OnPlaybackTick(1);
    }
    int Check(cmd::Id nId) {
        fw::CCmdUI cmdUI(nId);
        router.Update(cmdUI);
        return cmdUI.m_nCheck;
    }

    testfakes::FakeSurface surface;
    testfakes::FakeFrame frame;
    CQuovelView view;
    fw::CCommandRouter router;
};

TEST_F(QuovelViewTest, InitialUpdateBeforeAnyFileScrollsOverTheClientAndDrawsNothing) {
    view.OnInitialUpdate();
    EXPECT_EQ(surface.nBlits, 0);
    EXPECT_EQ(surface.scrollSize, (view::Size{640, 480}));
    EXPECT_EQ(doc.hTimerWnd, &surface);
    EXPECT_EQ(frame.nFits, 1) << "the pending resize is consumed even with nothing to draw";
}

TEST_F(QuovelViewTest, ZoomResizesAtOnceAndThePictureFollowsAtTheNextDrawing) {
    OpenAndDraw();
    EXPECT_EQ(surface.lastDst, (view::Rect{0, 0, 320, 240}));
    EXPECT_EQ(surface.scrollSize, (view::Size{320, 240}));
    EXPECT_EQ(Check(cmd::kZoom1), 1);

    const int nFits = frame.nFits;
    const int nBlits = surface.nBlits;
    ASSERT_TRUE(router.Execute(cmd::kZoom2));
    EXPECT_EQ(frame.nFits, nFits + 1);
    EXPECT_EQ(surface.nBlits, nBlits) << "no redraw of its own";
    EXPECT_EQ(Check(cmd::kZoom2), 1);
    EXPECT_EQ(Check(cmd::kZoom1), 0);

    surface.py = 10;
    doc.OnPlaybackTick(1);
    EXPECT_EQ(frame.nToolBarZoom, 1) << "the toolbar follows the zoom of the previous drawing";
    EXPECT_EQ(surface.lastDst, (view::Rect{0, 0, 640, 480}));
    EXPECT_EQ(surface.scrollSize, (view::Size{640, 480}));
    doc.OnPlaybackTick(1);
    EXPECT_EQ(frame.nToolBarZoom, 2);

    // Fit: redraws at once, stretched over the client, no scrolling.
    ASSERT_TRUE(router.Execute(cmd::kZoomFit));
    EXPECT_EQ(surface.lastDst, (view::Rect{0, 0, 640, 480}));
    EXPECT_EQ(surface.lastSrc, (view::Rect{0, 0, 320, 240}));
    EXPECT_TRUE(surface.bFit);
    EXPECT_EQ(Check(cmd::kZoomFit), 1);
}

TEST_F(QuovelViewTest, FullScreenAndTheMouse) {
    OpenAndDraw();
    view.OnRButtonDown();
    EXPECT_TRUE(frame.toolBarCalls.empty()) << "the right button does nothing outside full screen";
    ASSERT_TRUE(router.Execute(cmd::kViewFullScreen));
    EXPECT_EQ(view.m_bFullScreen, 1);
    EXPECT_EQ(doc.nZoom, 0);
    EXPECT_EQ(frame.fullScreenCalls, std::vector<int>{1});
    view.OnRButtonDown();
    view.OnRButtonDown();
    EXPECT_EQ(frame.toolBarCalls, (std::vector<int>{1, 0}));
    view.OnLButtonDown();
    EXPECT_EQ(view.m_bFullScreen, 0);
    EXPECT_EQ(frame.fullScreenCalls, (std::vector<int>{1, 0}));
    EXPECT_EQ(doc.nZoom, 0) << "the zoom stays at fit";
    view.OnLButtonDown();
    EXPECT_EQ(frame.fullScreenCalls.size(), 2u);
}

// The keys and the double click players use: a double click enters full screen, and one in
// full screen leaves it for good (its first press leaves, as a single click does, and the
// double click that follows must not go straight back); Esc only leaves; F11 toggles.
TEST_F(QuovelViewTest, DoubleClickEscAndF11) {
    OpenAndDraw();
    view.OnLButtonDown();  // Qt: press, release, double click, release
    view.OnLButtonDblClk();
    EXPECT_EQ(view.m_bFullScreen, 1);
    view.OnLButtonDown();
    view.OnLButtonDblClk();
    EXPECT_EQ(view.m_bFullScreen, 0) << "left, and not entered again at once";
    EXPECT_EQ(frame.fullScreenCalls, (std::vector<int>{1, 0}));

    view.OnEscapeKey();
    EXPECT_EQ(view.m_bFullScreen, 0) << "Esc never enters";
    view.OnViewFullScreen();
    EXPECT_EQ(view.m_bFullScreen, 1);
    view.OnEscapeKey();
    EXPECT_EQ(view.m_bFullScreen, 0);
    view.OnViewFullScreen();
    view.OnViewFullScreen();
    EXPECT_EQ(view.m_bFullScreen, 0);
    EXPECT_EQ(frame.fullScreenCalls, (std::vector<int>{1, 0, 1, 0, 1, 0}));
}

// The window is given the picture of the mode in force at each draw, whichever block holds
// it: the frame unchanged in the standard mode, the effect's output in the others, never a
// picture left from an earlier mode.
TEST_F(QuovelViewTest, TheWindowIsGivenThePictureOfTheModeInForce) {
    OpenAndDraw();
    const size_t nBytes = dib::RowBytes24(320) * 240;
    const uint8_t* pPixels = doc.pFrameImage.get() + dib::kPixelOffset;
    const std::vector<uint8_t> picture(pPixels, pPixels + nBytes);
    std::vector<uint8_t> negative(picture);
    for (uint8_t& b : negative) {
        b = static_cast<uint8_t>(255 - b);
    }
    EXPECT_EQ(surface.lastPixels, picture);
    ASSERT_TRUE(router.Execute(cmd::kColorFirst + 9));  // negative
    doc.OnViewRefresh();
    EXPECT_EQ(surface.lastPixels, negative);
    ASSERT_TRUE(router.Execute(cmd::kColorFirst));  // standard
    const int32_t nStrobe = AppState.nStrobeCount;
    doc.OnViewRefresh();
    EXPECT_EQ(surface.lastPixels, picture);
    EXPECT_EQ(AppState.nStrobeCount, nStrobe + 1) << "a draw of the frame as it is counts too";
}

TEST_F(QuovelViewTest, ConversionProgressGoesToTheStatusBarAndThePictureMayHide) {
    OpenAndDraw();
    AppState.bConverting = 1;
    AppState.strTimeText = "00:00:01 / 00:00:02";
    doc.OnViewRefresh();
    EXPECT_EQ(frame.strStatus, "00:00:01 / 00:00:02");

    AppState.bHideWhileConverting = 1;
    const int nBlits = surface.nBlits;
    const int32_t nStrobe = AppState.nStrobeCount;
    doc.OnViewRefresh();
    EXPECT_EQ(surface.nBlits, nBlits + 1) << "a writer that is not active hides nothing";
    writer.bActive = 1;
    doc.OnViewRefresh();
    EXPECT_EQ(surface.nBlits, nBlits + 1) << "hidden while the writer writes";
    EXPECT_EQ(AppState.nStrobeCount, nStrobe + 2) << "the transform still runs";
    AppState.strTimeText = "00:00:02 / 00:00:02";
    doc.OnViewRefresh();
    EXPECT_EQ(frame.strStatus, "00:00:02 / 00:00:02");
    writer.bActive = 0;
}

}  // namespace
