#include "platform/x11_display.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace platform {
namespace {

struct DisplayCloser {
    void operator()(Display* p) const { XCloseDisplay(p); }
};
struct ConfigFreer {
    void operator()(XRRScreenConfiguration* p) const { XRRFreeScreenConfigInfo(p); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;
using ConfigPtr = std::unique_ptr<XRRScreenConfiguration, ConfigFreer>;

DisplayPtr OpenDisplay() {
    const char* pszDisplay = std::getenv("DISPLAY");
    if (pszDisplay == nullptr || *pszDisplay == '\0') {
        return nullptr;
    }
    return DisplayPtr(XOpenDisplay(nullptr));
}

struct SavedMode {
    bool bValid = false;
    SizeID nSize = 0;
    Rotation rotation = RR_Rotate_0;
    short nRate = 0;
} g_saved;

bool ApplyMode(Display* pDisplay, XRRScreenConfiguration* pConfig, SizeID nSize, Rotation rotation,
               short nRate) {
    const Window root = DefaultRootWindow(pDisplay);
    Status status =
        XRRSetScreenConfigAndRate(pDisplay, pConfig, root, nSize, rotation, nRate, CurrentTime);
    if (status != RRSetConfigSuccess) {  // that size may not offer the rate: take its default
        status = XRRSetScreenConfig(pDisplay, pConfig, root, nSize, rotation, CurrentTime);
    }
    XSync(pDisplay, False);
    return status == RRSetConfigSuccess;
}

}  // namespace

bool CXRandrDisplayModes::SwitchTo(int nWidth, int nHeight) {
    DisplayPtr pDisplay = OpenDisplay();
    int nEvent = 0;
    int nError = 0;
    if (!pDisplay || !XRRQueryExtension(pDisplay.get(), &nEvent, &nError)) {
        return false;
    }
    ConfigPtr pConfig(XRRGetScreenInfo(pDisplay.get(), DefaultRootWindow(pDisplay.get())));
    if (!pConfig) {
        return false;
    }
    Rotation rotation = RR_Rotate_0;
    const SizeID nCurrent = XRRConfigCurrentConfiguration(pConfig.get(), &rotation);
    const short nRate = XRRConfigCurrentRate(pConfig.get());
    int nSizes = 0;
    XRRScreenSize* pSizes = XRRConfigSizes(pConfig.get(), &nSizes);
    for (int i = 0; i < nSizes; ++i) {
        if (pSizes[i].width == nWidth && pSizes[i].height == nHeight) {
            if (!ApplyMode(pDisplay.get(), pConfig.get(), static_cast<SizeID>(i), rotation,
                           nRate)) {
                return false;
            }
            g_saved = {true, nCurrent, rotation, nRate};
            return true;
        }
    }
    return false;
}

void CXRandrDisplayModes::Restore() {
    if (!g_saved.bValid) {
        return;
    }
    DisplayPtr pDisplay = OpenDisplay();
    if (!pDisplay) {
        return;
    }
    ConfigPtr pConfig(XRRGetScreenInfo(pDisplay.get(), DefaultRootWindow(pDisplay.get())));
    if (pConfig) {
        ApplyMode(pDisplay.get(), pConfig.get(), g_saved.nSize, g_saved.rotation, g_saved.nRate);
    }
    g_saved.bValid = false;
}

std::optional<KeyboardLocks> ReadKeyboardLocks() {
    static DisplayPtr s_pDisplay = OpenDisplay();  // kept: read twice a second
    if (!s_pDisplay) {
        return std::nullopt;
    }
    unsigned int nState = 0;
    if (XkbGetIndicatorState(s_pDisplay.get(), XkbUseCoreKbd, &nState) != Success) {
        return std::nullopt;
    }
    // The core keyboard's usual indicator order: Caps Lock, Num Lock, Scroll Lock.
    return KeyboardLocks{(nState & 1u) != 0, (nState & 2u) != 0, (nState & 4u) != 0};
}

bool DisplayAvailable() {
    const char* pszPlatform = std::getenv("QT_QPA_PLATFORM");
    if (pszPlatform != nullptr && *pszPlatform != '\0' &&
        std::strncmp(pszPlatform, "xcb", 3) != 0) {
        return true;
    }
    if (OpenDisplay()) {
        return true;
    }
    const char* pszDisplay = std::getenv("DISPLAY");
    const bool bX11Named = pszDisplay != nullptr && *pszDisplay != '\0';
    const char* pszWayland = std::getenv("WAYLAND_DISPLAY");
    return !bX11Named && pszWayland != nullptr && *pszWayland != '\0';
}

}  // namespace platform
