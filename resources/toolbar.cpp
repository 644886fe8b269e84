#include "resources/toolbar.h"

namespace res {
namespace {

constexpr cmd::Id kButtons[] = {
    cmd::kFileOpen,
    cmd::kFileConvert,
    cmd::kPlayStart,
    cmd::kPlayPause,
    cmd::kPlayStop,
    cmd::kAppExit,
    0,
    cmd::kZoom1,
    cmd::kZoom2,
    0,
    cmd::kViewFullScreen,
    0,
    cmd::kConvertSettings,
    cmd::kPlaySettings,
    cmd::kStillImage,
};

struct Icon {
    cmd::Id nId;
    const char* pszPath;
};
constexpr Icon kIcons[] = {
    {cmd::kFileOpen, ":/toolbar/open.xpm"},
    {cmd::kFileConvert, ":/toolbar/convert.xpm"},
    {cmd::kPlayStart, ":/toolbar/play.xpm"},
    {cmd::kPlayPause, ":/toolbar/pause.xpm"},
    {cmd::kPlayStop, ":/toolbar/stop.xpm"},
    {cmd::kAppExit, ":/toolbar/exit.xpm"},
    {cmd::kZoom1, ":/toolbar/zoom1.xpm"},
    {cmd::kZoom2, ":/toolbar/zoom2.xpm"},
    {cmd::kViewFullScreen, ":/toolbar/fullscreen.xpm"},
    {cmd::kConvertSettings, ":/toolbar/convert_settings.xpm"},
    {cmd::kPlaySettings, ":/toolbar/play_settings.xpm"},
    {cmd::kStillImage, ":/toolbar/still.xpm"},
};

constexpr Indicator kIndicators[] = {
    {0, ""},
    {cmd::kIndicatorKana, "ｶﾅ"},
    {cmd::kIndicatorCaps, "CAP"},
    {cmd::kIndicatorNum, "NUM"},
    {cmd::kIndicatorScrl, "SCRL"},
};

}  // namespace

std::span<const cmd::Id> ToolBarButtons() {
    return kButtons;
}

const char* ToolBarIcon(cmd::Id nId) {
    for (const Icon& icon : kIcons) {
        if (icon.nId == nId) {
            return icon.pszPath;
        }
    }
    return nullptr;
}

std::span<const Indicator> StatusIndicators() {
    return kIndicators;
}

}  // namespace res
