#pragma once
// Command identifiers: one number per command, shared by the menus, the toolbar, the
// accelerators and the handler tables, so that they all speak the same vocabulary.
#include "framework/command_id.h"
#include "resources/colour_modes.h"

namespace cmd {

// Framework commands
constexpr Id kFileNew = 57600;
constexpr Id kFileOpen = 57601;
constexpr Id kFileSave = 57603;
constexpr Id kFileConvert = 57604;  // "保存(&R)...": starts an AVI conversion
constexpr Id kFileMruFirst = 57616;
constexpr Id kFileMruLast = 57619;  // four recent-file entries
constexpr Id kEditCopy = 57634;
constexpr Id kEditCut = 57635;
constexpr Id kEditPaste = 57637;
constexpr Id kEditUndo = 57643;
constexpr Id kAppAbout = 57664;
constexpr Id kAppExit = 57665;
constexpr Id kNextPane = 57680;
constexpr Id kPrevPane = 57681;

// View
constexpr Id kZoom1 = 32771;
constexpr Id kZoom2 = 32772;
constexpr Id kZoom3 = 32773;
constexpr Id kZoom4 = 32774;
constexpr Id kViewRefresh = 32777;
constexpr Id kPlayStart = 32778;
constexpr Id kPlayPause = 32779;
constexpr Id kPlayStop = 32780;
constexpr Id kZoomFit = 32781;
constexpr Id kViewFullScreen = 32784;
constexpr Id kViewPositionBar = 32831;

// Settings and export
constexpr Id kConvertSettings = 32798;
constexpr Id kStillImage = 32800;
constexpr Id kStillApplyEffects = 32832;  // a check item: stills carry the colour mode shown
constexpr Id kPlaySettings = 32802;

// Playback's sound
constexpr Id kSoundMute = 32815;
constexpr Id kSoundVolumeUp = 32816;
constexpr Id kSoundVolumeDown = 32817;

// Moving in the stream, and marking the conversion range there
constexpr Id kGoPlayPause = 32820;
constexpr Id kGoNextFrame = 32821;
constexpr Id kGoPrevFrame = 32822;
constexpr Id kGoNextKeyFrame = 32823;
constexpr Id kGoPrevKeyFrame = 32824;
constexpr Id kGoSecondForward = 32825;
constexpr Id kGoSecondBack = 32826;
constexpr Id kGoFirstFrame = 32827;
constexpr Id kGoLastFrame = 32828;
constexpr Id kMarkRangeStart = 32829;
constexpr Id kMarkRangeEnd = 32830;

// Colour modes, 32804 (standard) to 32813 (negative)
constexpr Id kColorFirst = 32804;
constexpr Id kColorLast = kColorFirst + colour::kModeCount - 1;

// Status-bar indicators
constexpr Id kIndicatorKana = 59142;
constexpr Id kIndicatorCaps = 59137;
constexpr Id kIndicatorNum = 59138;
constexpr Id kIndicatorScrl = 59139;
}  // namespace cmd
