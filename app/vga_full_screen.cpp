#include "app/vga_full_screen.h"

bool CVgaFullScreen::Enter(int32_t bVgaFullScreen) {
    if (bVgaFullScreen != 0 && !m_bSwitched) {
        // A refused change is ignored: full screen then runs in the current mode.
        m_bSwitched = m_modes.SwitchTo(kWidth, kHeight);
    }
    return m_bSwitched;
}

void CVgaFullScreen::Leave() {
    if (m_bSwitched) {
        m_bSwitched = false;
        m_modes.Restore();
    }
}

view::Rect CVgaFullScreen::CoverRect(const view::Rect& rcScreenKnown) const {
    if (!m_bSwitched) {
        return rcScreenKnown;
    }
    return {rcScreenKnown.x, rcScreenKnown.y, kWidth, kHeight};
}
