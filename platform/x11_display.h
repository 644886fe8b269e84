#pragma once
// The X11 services the main window needs: the 640×480 display-mode switch (XRandR) and the
// keyboard lock lights for the status-bar indicators. Without an X display (Wayland, the
// offscreen platform in tests) every call does nothing and reports failure.
#include <optional>

namespace platform {

// Switches the screen to 640×480 at its current rotation and refresh rate, remembering the
// mode it had; false when refused or unavailable.
bool SwitchDisplayTo640x480();
// Back to the mode remembered by the last successful switch.
void RestoreDisplayMode();

struct KeyboardLocks {
    bool bCaps = false;
    bool bNum = false;
    bool bScroll = false;
};
std::optional<KeyboardLocks> ReadKeyboardLocks();

}  // namespace platform
