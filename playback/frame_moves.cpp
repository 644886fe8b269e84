// Moving in the stream: to a position, by frames, key frames and seconds, to either end.
#include <algorithm>

#include "playback/frame_grabber.h"
#include "state/app_state.h"

namespace {
constexpr int64_t kUnitsPerSecond = platform::kMediaUnitsPerSecond;
// Key frames a key-frame step looks past when the index's time is a decode time, before the
// key frame's own presentation.
constexpr int kKeyFrameSnapFrames = 16;
}  // namespace

int64_t CFrameGrabber::JustBefore(int64_t llStart) const {
    // A position reads as the frame grid's next point up to the rounding tolerance below
    // it, and a frame is then looked for up to the tolerance beyond: twice it, and one more,
    // is surely before this frame and in the one before it.
    return llStart - 2 * pGraph->RoundingTolerance() - 1;
}

bool CFrameGrabber::CanMove() const {
    return bPlaying != 0 && pGraph != nullptr && AppState.bConverting == 0;
}

int64_t CFrameGrabber::ShownFrameStart() const {
    return pGraph ? pGraph->SelectedFrameStart() : -1;
}

bool CFrameGrabber::MoveTo(int64_t llPosition) {
    if (!CanMove()) {
        return false;
    }
    int64_t llDuration = 0;
    pGraph->GetDuration(llDuration);
    // Just inside the last frame: the end itself would read as the end of the stream.
    return ShowFrameAt(
        std::clamp<int64_t>(llPosition, 0, std::max<int64_t>(0, JustBefore(llDuration))));
}

bool CFrameGrabber::ShowFrameAt(int64_t llTarget) {
    m_sound.Stop();
    pGraph->SetPositions(&llTarget, nullptr);
    if (pGraph->SelectCurrentFrame() != platform::CopyResult::Ok) {
        return false;
    }
    const int64_t llStart = pGraph->SelectedFrameStart();
    if (llStart >= 0) {
        pGraph->SetPositions(&llStart, nullptr);
    }
    m_bImagePending = true;
    FillFrameImage();
    AppState.bFrameReady = 1;
    if (bPaused == 0) {
        StartSound();
    }
    return true;
}

bool CFrameGrabber::StepFrame(int nDirection) {
    if (!CanMove()) {
        return false;
    }
    if (bPaused == 0) {
        TogglePause();
    }
    const int64_t llShown = pGraph->SelectedFrameStart();
    if (nDirection > 0) {
        // A frame decoded is there, even past an end that was only estimated.
        const int64_t llNext = pGraph->NextFrameStart();
        return llNext >= 0 && ShowFrameAt(llNext);
    }
    return llShown > 0 && MoveTo(JustBefore(llShown));
}

bool CFrameGrabber::StepKeyFrame(int nDirection) {
    if (!CanMove()) {
        return false;
    }
    const int64_t llShown = pGraph->SelectedFrameStart();
    int64_t llFrom = llShown;
    for (int nTry = 0; nTry < 4; ++nTry) {
        int64_t llKey = 0;
        if (!pGraph->KeyFrameNear(llFrom, nDirection > 0, llKey)) {
            return false;
        }
        if (!MoveTo(llKey)) {
            return false;
        }
        SnapToKeyFrame();
        const int64_t llNow = pGraph->SelectedFrameStart();
        if (nDirection > 0 ? llNow > llShown : llNow < llShown) {
            return true;
        }
        // Snapped back onto the frame it started from: look one key frame further.
        llFrom = nDirection > 0 ? std::max(llKey, llNow) : JustBefore(llKey);
        if (llFrom < 0) {
            return false;
        }
    }
    return false;
}

bool CFrameGrabber::MoveNear(int64_t llPosition) {
    if (!CanMove()) {
        return false;
    }
    if (pGraph->HasFrameAt(llPosition)) {
        return MoveTo(llPosition);
    }
    int64_t llKey = 0;
    const bool bIndexed = pGraph->KeyFrameNear(llPosition, false, llKey);
    const int64_t llShown = pGraph->SelectedFrameStart();
    if (llShown >= 0 && llShown < llPosition && (!bIndexed || llKey <= llShown)) {
        // A seek would decode from a key frame before the one shown: decoding on from here
        // is never slower, and a few frames at a time keep the picture moving with the handle.
        return MoveTo(std::min(llPosition, llShown + kDragFrames * pGraph->NominalFrameTime()));
    }
    if (!bIndexed) {
        return MoveTo(llPosition);
    }
    if (!ShowFrameAt(llKey)) {
        return false;
    }
    SnapToKeyFrame();
    return true;
}

void CFrameGrabber::SnapToKeyFrame() {
    // An index may time a key frame by its decoding: it is shown a few frames later.
    for (int i = 0; i < kKeyFrameSnapFrames && !pGraph->SelectedIsKeyFrame(); ++i) {
        const int64_t llNext = pGraph->NextFrameStart();
        if (llNext < 0 || !ShowFrameAt(llNext)) {
            return;
        }
    }
}

bool CFrameGrabber::StepSeconds(int nSeconds) {
    if (!CanMove()) {
        return false;
    }
    int64_t llPosition = 0;
    pGraph->GetCurrentPosition(llPosition);
    return MoveTo(llPosition + nSeconds * kUnitsPerSecond);
}

bool CFrameGrabber::MoveToEnd(bool bLast) {
    if (!CanMove()) {
        return false;
    }
    if (!bLast) {
        return MoveTo(0);
    }
    int64_t llDuration = 0;
    pGraph->GetDuration(llDuration);
    if (!MoveTo(llDuration)) {
        return false;
    }
    // An estimated end (a program stream's) may lie short of the last frame: on to it.
    for (int64_t llNext = pGraph->NextFrameStart(); llNext >= 0;
         llNext = pGraph->NextFrameStart()) {
        if (!ShowFrameAt(llNext)) {
            break;
        }
    }
    return true;
}
