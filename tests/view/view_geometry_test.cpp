#include "view/view_geometry.h"

#include <gtest/gtest.h>

#include <string>

using view::BlitGeometry;
using view::ComputeBlitGeometry;
using view::Rect;

namespace {

TEST(BlitGeometry, ZoomWithScrollingCutsTheSourceToTheClientArea) {
    // 320×240 at 2× in a 500×400 client: both directions larger than the client.
    EXPECT_EQ(ComputeBlitGeometry(2, 320, 240, 500, 400, 0, 0),
              (BlitGeometry{{0, 0, 500, 400}, {0, 40, 250, 200}}));
    EXPECT_EQ(ComputeBlitGeometry(2, 320, 240, 500, 400, 101, 61),
              (BlitGeometry{{0, 0, 500, 400}, {50, 9, 250, 200}}))
        << "source x = px / 2, source y = (480 - 400 - py) / 2, truncated";
    // 1×: the whole picture at the top left, the rest of the client left alone.
    EXPECT_EQ(ComputeBlitGeometry(1, 320, 240, 500, 400, 0, 0),
              (BlitGeometry{{0, 0, 320, 240}, {0, 0, 320, 240}}));
    // 3× of an odd size in a client narrower than the picture but taller.
    EXPECT_EQ(ComputeBlitGeometry(3, 321, 241, 700, 800, 9, 0),
              (BlitGeometry{{0, 0, 700, 723}, {3, 0, 233, 241}}));
}

TEST(BlitGeometry, FitStretchesTheWholeFrameWhateverTheAspect) {
    EXPECT_EQ(ComputeBlitGeometry(0, 320, 240, 1000, 100, 50, 50),
              (BlitGeometry{{0, 0, 1000, 100}, {0, 0, 320, 240}}));
}

TEST(FrameSize, GivesTheViewZoomTimesTheVideo) {
    // A 400×360 frame whose view client is 380×250: 20 and 110 pixels of frame around it.
    EXPECT_EQ(view::FitFrameSize({400, 360}, {380, 250}, 1, 320, 240), (view::Size{340, 350}));
    EXPECT_EQ(view::FitFrameSize({400, 360}, {380, 250}, 2, 320, 240), (view::Size{660, 590}));
    EXPECT_EQ(view::FitFrameSize({400, 360}, {380, 250}, 4, 321, 241), (view::Size{1304, 1074}));
}

TEST(ViewGeometry, WindowsStayInsideTheAvailableArea) {
    const view::Rect rcArea{0, 30, 1280, 994};  // a panel across the top
    EXPECT_EQ(view::KeepOnScreen({100, 100, 660, 590}, rcArea), (view::Rect{100, 100, 660, 590}))
        << "what fits stays as it is";
    EXPECT_EQ(view::KeepOnScreen({100, 100, 2562, 1992}, rcArea), rcArea) << "4× of 640×480";
    EXPECT_EQ(view::KeepOnScreen({900, 700, 660, 590}, rcArea), (view::Rect{620, 434, 660, 590}))
        << "moved back inside";
    EXPECT_EQ(view::KeepOnScreen({-50, 0, 400, 300}, rcArea), (view::Rect{0, 30, 400, 300}));
}

// The toolbar states as a string of the thirteen messages, '1' on.
std::string States(bool bPlaying, bool bHasFile, bool bConverting, int nZoom, bool bFull) {
    std::string s;
    for (const view::ToolBarStep& step :
         view::ToolBarButtonStates(bPlaying, bHasFile, bConverting, nZoom, bFull)) {
        s += step.bOn ? '1' : '0';
    }
    return s;
}

TEST(ToolBarStates, FollowThePlaybackState) {
    //                open conv play pause stop still csett convC z1 z2 z1C z2C fullC
    EXPECT_EQ(States(false, false, false, 1, false), "1000000011100");
    EXPECT_EQ(States(false, true, false, 2, false), "1110001011010");
    EXPECT_EQ(States(true, true, false, 1, false), "0001111011100");
    EXPECT_EQ(States(true, true, true, 1, false), "0001100111100");
    EXPECT_EQ(States(true, true, false, 0, true), "0001111000001")
        << "in full screen 1× and 2× are disabled and the full-screen button is pressed";
    const auto steps = view::ToolBarButtonStates(false, false, false, 1, false);
    EXPECT_EQ(steps[7].nId, cmd::kFileConvert);
    EXPECT_TRUE(steps[7].bCheck);
}

}  // namespace
