#pragma once
// The 640×480 display mode of full screen. It switches when full screen starts with the
// setting on, and gives back exactly what it changed: on leaving full screen (whatever the
// setting says by then) and, should the program end in full screen by any way, when it goes.
#include <cstdint>

#include "platform/display_modes.h"
#include "view/view_geometry.h"

class CVgaFullScreen {
  public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    explicit CVgaFullScreen(platform::IDisplayModes& modes) : m_modes(modes) {}
    ~CVgaFullScreen() { Leave(); }
    CVgaFullScreen(const CVgaFullScreen&) = delete;
    CVgaFullScreen& operator=(const CVgaFullScreen&) = delete;

    // Full screen starts; bVgaFullScreen non-zero asks for the switch. True when the mode
    // was changed.
    bool Enter(int32_t bVgaFullScreen);
    // Full screen ends: the mode changed on entry is restored.
    void Leave();

    // The rectangle a full-screen window must cover. The windowing system learns of a mode
    // change only later; until then it still reports the old screen, whose origin stands.
    view::Rect CoverRect(const view::Rect& rcScreenKnown) const;

  private:
    platform::IDisplayModes& m_modes;
    bool m_bSwitched = false;
};
