#pragma once
// The X11 services the main window needs: the 640×480 display-mode switch (XRandR) and the
// keyboard lock lights for the status-bar indicators. Without an X display (Wayland, the
// offscreen platform in tests) every call does nothing and reports failure.
#include <optional>

#include "platform/display_modes.h"

namespace platform {

class CXRandrDisplayModes final : public IDisplayModes {
  public:
    bool SwitchTo(int nWidth, int nHeight) override;
    void Restore() override;
};

struct KeyboardLocks {
    bool bCaps = false;
    bool bNum = false;
    bool bScroll = false;
};
std::optional<KeyboardLocks> ReadKeyboardLocks();

// Whether a window can be shown at all: the platform Qt was told to use (offscreen, wayland)
// is taken on trust; otherwise an X server must answer at $DISPLAY, or a Wayland compositor
// be named. False on a server, in a container or over ssh without X forwarding.
bool DisplayAvailable();

}  // namespace platform
