#include "view/view_geometry.h"

#include <algorithm>

namespace view {

BlitGeometry ComputeBlitGeometry(int z, int w, int h, int cw, int ch, int px, int py) {
    BlitGeometry g;
    if (z == 0) {
        g.dst = {0, 0, cw, ch};
        g.src = {0, 0, w, h};
        return g;
    }
    if (cw > z * w) {
        g.dst.w = z * w;
        g.src.x = 0;
        g.src.w = w;
    } else {
        g.dst.w = cw;
        g.src.w = cw / z;
        g.src.x = px / z;
    }
    if (ch > z * h) {
        g.dst.h = z * h;
        g.src.y = 0;
        g.src.h = h;
    } else {
        g.dst.h = ch;
        g.src.h = ch / z;
        // Rows count from the bottom: this shows the rows from py / z downward from the top.
        g.src.y = (z * h - ch - py) / z;
    }
    return g;
}

Size FitFrameSize(Size frame, Size viewClient, int nZoom, int nVideoWidth, int nVideoHeight) {
    return {frame.w - viewClient.w + nZoom * nVideoWidth,
            frame.h - viewClient.h + nZoom * nVideoHeight};
}

Rect KeepOnScreen(Rect rc, Rect rcAvailable) {
    rc.w = std::min(rc.w, rcAvailable.w);
    rc.h = std::min(rc.h, rcAvailable.h);
    rc.x = std::clamp(rc.x, rcAvailable.x, rcAvailable.x + rcAvailable.w - rc.w);
    rc.y = std::clamp(rc.y, rcAvailable.y, rcAvailable.y + rcAvailable.h - rc.h);
    return rc;
}

ToolBarSteps ToolBarButtonStates(bool bPlaying, bool bHasFile, bool bConverting, int nZoom,
                                 bool bFullScreen) {
    return {{
        {cmd::kFileOpen, false, !bPlaying},
        {cmd::kFileConvert, false, !bPlaying && bHasFile},
        {cmd::kPlayStart, false, !bPlaying && bHasFile},
        {cmd::kPlayPause, false, bPlaying},
        {cmd::kPlayStop, false, bPlaying},
        {cmd::kStillImage, false, bPlaying && !bConverting},
        {cmd::kConvertSettings, false, bHasFile && !bConverting},
        {cmd::kFileConvert, true, bConverting},
        {cmd::kZoom1, false, !bFullScreen},
        {cmd::kZoom2, false, !bFullScreen},
        {cmd::kZoom1, true, nZoom == 1},
        {cmd::kZoom2, true, nZoom == 2},
        {cmd::kViewFullScreen, true, bFullScreen},
    }};
}

}  // namespace view
