#pragma once
// The display-mode switch full screen may ask for, as the program sees it: X11's XRandR in
// the program, a recording stand-in in tests.
namespace platform {

class IDisplayModes {
  public:
    virtual ~IDisplayModes() = default;
    // Switches the screen to nWidth × nHeight at its current rotation and refresh rate,
    // remembering the mode it had; false when refused or unavailable.
    virtual bool SwitchTo(int nWidth, int nHeight) = 0;
    // Back to the mode remembered by the last successful switch.
    virtual void Restore() = 0;
};

}  // namespace platform
