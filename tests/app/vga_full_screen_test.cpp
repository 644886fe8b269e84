#include "app/vga_full_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A display that records the switches asked of it; it may refuse them.
class RecordingDisplay final : public platform::IDisplayModes {
  public:
    bool SwitchTo(int nWidth, int nHeight) override {
        calls.push_back(std::to_string(nWidth) + "x" + std::to_string(nHeight));
        return bAccepts;
    }
    void Restore() override { calls.push_back("restore"); }
    bool bAccepts = true;
    std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

TEST(VgaFullScreen, SwitchesOnlyWhenAskedAndRestoresWhatItChanged) {
    RecordingDisplay display;
    CVgaFullScreen vga(display);
    EXPECT_FALSE(vga.Enter(0));
    vga.Leave();
    EXPECT_EQ(display.calls, Calls{}) << "the setting off: the mode never changes";

    EXPECT_TRUE(vga.Enter(2)) << "any non-zero setting asks for it";
    vga.Leave();
    vga.Leave();
    EXPECT_EQ(display.calls, (Calls{"640x480", "restore"}));

    display.calls.clear();
    display.bAccepts = false;
    EXPECT_FALSE(vga.Enter(1));
    vga.Leave();
    EXPECT_EQ(display.calls, Calls{"640x480"}) << "a refused switch has nothing to restore";
}

// However the program ends while in full screen (signal, window manager), the mode it
// switched is given back when the frame goes.
TEST(VgaFullScreen, EndingInFullScreenRestoresTheMode) {
    RecordingDisplay display;
    {
        CVgaFullScreen vga(display);
        vga.Enter(1);
    }
    EXPECT_EQ(display.calls, (Calls{"640x480", "restore"}));
    display.calls.clear();
    {
        CVgaFullScreen vga(display);
        vga.Enter(0);
    }
    EXPECT_EQ(display.calls, Calls{});
}

// The window covers the switched mode at once, at the origin of the screen Qt still
// reports, and the screen as reported when nothing was switched.
TEST(VgaFullScreen, CoverRectIsTheSwitchedModeBeforeTheScreenReportsIt) {
    RecordingDisplay display;
    CVgaFullScreen vga(display);
    const view::Rect rcOld{0, 0, 1280, 1024};
    EXPECT_EQ(vga.CoverRect(rcOld), rcOld);
    vga.Enter(1);
    EXPECT_EQ(vga.CoverRect(rcOld), (view::Rect{0, 0, 640, 480}));
    EXPECT_EQ(vga.CoverRect({1280, 0, 1920, 1080}), (view::Rect{1280, 0, 640, 480}));
    vga.Leave();
    EXPECT_EQ(vga.CoverRect(rcOld), rcOld);
}

}  // namespace
