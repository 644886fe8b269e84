#include "resources/accelerators.h"

namespace res {
namespace {
constexpr Accelerator kAccelerators[] = {
    {"Ctrl+N", cmd::kFileNew},
    {"Ctrl+O", cmd::kFileOpen},
    {"Ctrl+S", cmd::kPlayStart},
    {"Ctrl+R", cmd::kFileConvert},
    {"Ctrl+B", cmd::kStillImage},
    {"Ctrl+E", cmd::kPlayStop},
    {"Ctrl+P", cmd::kPlayPause},
    {"Ctrl+Z", cmd::kEditUndo},
    {"Alt+Backspace", cmd::kEditUndo},
    {"Ctrl+X", cmd::kEditCut},
    {"Shift+Del", cmd::kEditCut},
    {"Ctrl+C", cmd::kEditCopy},
    {"Ctrl+Ins", cmd::kEditCopy},
    {"Ctrl+V", cmd::kEditPaste},
    {"Shift+Ins", cmd::kEditPaste},
    {"F6", cmd::kNextPane},
    {"Shift+F6", cmd::kPrevPane},
    {"M", cmd::kSoundMute},
    {"Ctrl+Up", cmd::kSoundVolumeUp},
    {"Ctrl+Down", cmd::kSoundVolumeDown},
    {"Space", cmd::kGoPlayPause},
    {"Right", cmd::kGoNextFrame},
    {"Left", cmd::kGoPrevFrame},
    {"Shift+Right", cmd::kGoNextKeyFrame},
    {"Shift+Left", cmd::kGoPrevKeyFrame},
    {"Up", cmd::kGoSecondForward},
    {"Down", cmd::kGoSecondBack},
    {"Home", cmd::kGoFirstFrame},
    {"End", cmd::kGoLastFrame},
    {"I", cmd::kMarkRangeStart},
    {"O", cmd::kMarkRangeEnd},
};
}  // namespace

std::span<const Accelerator> Accelerators() {
    return kAccelerators;
}

const char* ShownKey(cmd::Id nId) {
    for (const Accelerator& accelerator : kAccelerators) {
        if (accelerator.nId == nId) {
            return accelerator.pszKey;
        }
    }
    return nullptr;
}

}  // namespace res
