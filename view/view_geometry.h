#pragma once
// The view's arithmetic, free of any window: blit rectangles, frame sizing, toolbar states.
#include <array>
#include <cstdint>

#include "resources/command_ids.h"

namespace view {

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool operator==(const Rect&) const = default;
};

struct BlitGeometry {
    Rect dst;  // in the view's client area
    Rect src;  // in the picture; y counts rows from the bottom of the bottom-up image
    bool operator==(const BlitGeometry&) const = default;
};

// zoom 1..4 with the scroll position (px, py), or 0 to stretch the picture over the client
// area (cw × ch). Integer divisions truncate toward zero.
BlitGeometry ComputeBlitGeometry(int nZoom, int w, int h, int cw, int ch, int px, int py);

// The frame size that gives the view a client area of zoom × the video size, from the
// frame's size and the view's client size now.
struct Size {
    int w = 0;
    int h = 0;
    bool operator==(const Size&) const = default;
};
Size FitFrameSize(Size frame, Size viewClient, int nZoom, int nVideoWidth, int nVideoHeight);

// A window's outer rectangle kept inside the screen's available area: no larger than the
// area, and moved as little as needed to lie inside it. What no longer fits is scrolled.
Rect KeepOnScreen(Rect rcOuter, Rect rcAvailable);

// UpdateToolBarButtons as data: enable (E) or check (C) messages in their order.
struct ToolBarStep {
    cmd::Id nId;
    bool bCheck;  // false: enable message; true: check message
    bool bOn;
};
using ToolBarSteps = std::array<ToolBarStep, 13>;
// bPlaying, bHasFile from the grabber; the full-screen flag and zoom from the view.
ToolBarSteps ToolBarButtonStates(bool bPlaying, bool bHasFile, bool bConverting, int nZoom,
                                 bool bFullScreen);

}  // namespace view
