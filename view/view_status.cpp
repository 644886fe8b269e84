// The view's status text: the message pane, the playback position and a conversion's
// progress.
#include "view/quovel_view.h"

#include <algorithm>

#include "convert/avi_writer.h"
#include "convert/conversion_progress.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/strings.h"
#include "state/app_state.h"

namespace view {

PlaybackPosition WorkOutPlaybackPosition() {
    PlaybackPosition p;
    const CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr || !pGrabber->bHasFile) {
        return p;
    }
    constexpr int64_t kUnit = platform::kMediaUnitsPerSecond;
    p.llLength = static_cast<int64_t>(std::max(AppState.nStreamLength, 0)) * kUnit / 30;
    p.bLengthKnown = AppState.nStreamLength < INT32_MAX;  // the count saturates when unknown
    p.llRangeStart = static_cast<int64_t>(AppState.nRangeStart) * kUnit / 30;
    p.llRangeEnd = static_cast<int64_t>(AppState.nRangeEnd) * kUnit / 30;
    if (pGrabber->bPlaying && pGrabber->pGraph) {
        int64_t llDuration = 0;
        p.bLengthKnown =
            pGrabber->pGraph->GetDuration(llDuration) && llDuration < platform::kUnknownLength;
        if (p.bLengthKnown) {
            p.llLength = llDuration;
        }
        p.bActive = AppState.bConverting == 0;
        p.llShown = std::max<int64_t>(pGrabber->ShownFrameStart(), 0);
        p.nFrame = pGrabber->pGraph->FrameNumberAt(p.llShown);
    }
    return p;
}

}  // namespace view

void CQuovelView::ShowMessage(const std::string& strText) {
    if (m_pFrame != nullptr && !AppState.bConverting) {
        m_pFrame->SetStatusText(strText);
    }
}

void CQuovelView::UpdateStatusText() {
    if (m_pFrame == nullptr) {
        return;
    }
    if (AppState.bConverting) {
        m_pFrame->SetStatusText(AppState.strTimeText);
        m_pFrame->ShowConversionProgress(
            AppState.pWriter != nullptr ? AppState.pWriter->nFrameCount : 0, ConversionPositions());
        m_progressShown = Progress::Running;
    } else if (m_progressShown == Progress::Running) {
        // How far the conversion got; said in words when it went all the way.
        const CQuovelDoc* pDoc = GetDocument();
        m_pFrame->SetStatusText(pDoc != nullptr && pDoc->bConversionCompleted
                                    ? std::string(str::kConversionDone) + "  " +
                                          AppState.strTimeText
                                    : AppState.strTimeText);
        m_pFrame->ShowConversionProgress(0, 0);
        m_progressShown = Progress::Final;
    } else if (m_progressShown == Progress::Final && AppState.pGrabber != nullptr &&
               AppState.pGrabber->bPlaying) {
        m_pFrame->SetStatusText(str::kStatusReady);
        m_progressShown = Progress::None;
    }
}
