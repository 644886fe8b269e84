#pragma once
// The one process-wide record that the parts of the program share. Plain data, read and
// written on the user-interface thread only.
#include <cstdint>
#include <string>

class CFrameGrabber;
class CAviWriter;
class CEffectSettingsDlg;

struct AppStateRecord {
    int32_t nVideoWidth = 360;
    int32_t nVideoHeight = 240;
    int32_t nSrcFrameRate = 30;
    int32_t nTimerRateMode = 1;
    int32_t nTimerFrameRate = 10;
    int32_t nDstFrameRate = 30;
    int32_t nThinning = 1;
    int32_t bResizePending = 1;
    int32_t nMosaicSize = 4;
    int32_t nPaintLevels = 3;
    int32_t nStrobeInterval = 5;
    std::string strSrcFormat;
    std::string strSrcHandler;
    std::string strTimeText;
    int32_t nStreamLength = 0;
    // Owned by the application between start-up and exit; null outside that time.
    CFrameGrabber* pGrabber = nullptr;
    CAviWriter* pWriter = nullptr;
    CEffectSettingsDlg* pEffectDlg = nullptr;
    int32_t bFrameReady = 0;
    int32_t bDrawing = 0;
    int32_t bConverting = 0;
    int32_t nSrcRateMode = 0;
    int32_t nDstRateMode = 0;
    int32_t nRangeMode = 0;
    int32_t nRangeStart = 0;
    int32_t nRangeEnd = 0;
    int32_t bDvCrop = 0;
    int32_t bDvCropActive = 0;
    int32_t bHideWhileConverting = 0;
    int32_t bRepeatPlay = 0;
    int32_t bRestartPending = 0;
    int32_t bVgaFullScreen = 0;
    int32_t nColorMode = 0;
    int32_t nRgbLevel[3] = {0, 0, 0};
    int32_t nYuvLevel[3] = {0, 0, 0};
    int32_t nHsvLevel[3] = {0, 0, 0};
    int32_t nStrobeCount = 0;
    // The converted file's sound: a platform::SoundMode, and MP3's bit rate in kb/s.
    int32_t nSoundMode = 1;
    int32_t nSoundKBitsPerSecond = 192;
    // Playback's sound: its volume in percent (0 to 100, in kSoundVolumeStep steps), muted.
    int32_t nSoundVolume = 100;
    int32_t bSoundMuted = 0;
    // The position bar under the picture is shown (outside full screen).
    int32_t bPositionBar = 1;
    // The colour mode shown is applied to what a conversion writes, and to saved stills
    // (off: files carry the picture as decoded).
    int32_t bApplyEffectsToConversion = 0;
    int32_t bApplyEffectsToStills = 0;
};

inline constexpr int32_t kSoundVolumeStep = 10;

extern AppStateRecord AppState;

// Back to the initial values (tests start each case from a fresh record).
void ResetAppState();
