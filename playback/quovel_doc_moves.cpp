// The document's moves in the stream: the 移動 menu's commands, the position bar's requests
// and the conversion range marked at the frame shown.
#include "playback/quovel_doc.h"

#include <algorithm>
#include <functional>

#include "platform/media_clock.h"
#include "playback/frame_grabber.h"
#include "resources/command_ids.h"
#include "state/app_state.h"

void CQuovelDoc::RegisterMoveCommands() {
    auto bind = [this](cmd::Id nId, std::function<bool(CFrameGrabber&)> move) {
        OnCommand(nId, [this, move = std::move(move)] { Move(move); });
    };
    bind(cmd::kGoNextFrame, [](CFrameGrabber& g) { return g.StepFrame(+1); });
    bind(cmd::kGoPrevFrame, [](CFrameGrabber& g) { return g.StepFrame(-1); });
    bind(cmd::kGoNextKeyFrame, [](CFrameGrabber& g) { return g.StepKeyFrame(+1); });
    bind(cmd::kGoPrevKeyFrame, [](CFrameGrabber& g) { return g.StepKeyFrame(-1); });
    bind(cmd::kGoSecondForward, [](CFrameGrabber& g) { return g.StepSeconds(+1); });
    bind(cmd::kGoSecondBack, [](CFrameGrabber& g) { return g.StepSeconds(-1); });
    bind(cmd::kGoFirstFrame, [](CFrameGrabber& g) { return g.MoveToEnd(false); });
    bind(cmd::kGoLastFrame, [](CFrameGrabber& g) { return g.MoveToEnd(true); });
    OnCommand(cmd::kGoPlayPause, [this] { OnGoPlayPause(); });
    OnCommand(cmd::kMarkRangeStart, [this] { MarkRange(false); });
    OnCommand(cmd::kMarkRangeEnd, [this] { MarkRange(true); });

    // The conversion owns the position while it runs.
    auto movable = [] { return AppState.pGrabber != nullptr && AppState.pGrabber->CanMove(); };
    for (const cmd::Id nId :
         {cmd::kGoNextFrame, cmd::kGoPrevFrame, cmd::kGoNextKeyFrame, cmd::kGoPrevKeyFrame,
          cmd::kGoSecondForward, cmd::kGoSecondBack, cmd::kGoFirstFrame, cmd::kGoLastFrame,
          cmd::kMarkRangeStart, cmd::kMarkRangeEnd}) {
        OnUpdateCommand(nId, [=](fw::CCmdUI& ui) { ui.Enable(movable()); });
    }
    OnUpdateCommand(cmd::kGoPlayPause, [](fw::CCmdUI& ui) {
        ui.Enable(AppState.pGrabber != nullptr && AppState.pGrabber->bHasFile &&
                  AppState.bConverting == 0);
    });
}

void CQuovelDoc::Move(const std::function<bool(CFrameGrabber&)>& move) {
    if (AppState.pGrabber != nullptr && move(*AppState.pGrabber)) {
        UpdateAllViews(nullptr, 0);
    }
}

void CQuovelDoc::OnGoPlayPause() {
    CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr || AppState.bConverting) {
        return;
    }
    if (pGrabber->bPlaying) {
        OnPlayPause();
    } else if (pGrabber->bHasFile) {
        OnPlayStart();
    }
}

void CQuovelDoc::MoveToPosition(int64_t llPosition, bool bExact) {
    Move([=](CFrameGrabber& g) { return bExact ? g.MoveTo(llPosition) : g.MoveNear(llPosition); });
}

void CQuovelDoc::MarkRange(bool bEnd) {
    CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr || !pGrabber->CanMove()) {
        return;
    }
    const int64_t llStart = pGrabber->ShownFrameStart();
    if (llStart < 0) {
        return;
    }
    constexpr int64_t kUnit = platform::kMediaUnitsPerSecond;
    const auto nUnit = static_cast<int32_t>(
        std::min<int64_t>((llStart * platform::kStreamPositionsPerSecond + kUnit - 1) / kUnit,
                          std::max(AppState.nStreamLength, 0)));
    // A range runs forward: the other mark gives way to the stream's start or end.
    if (bEnd) {
        AppState.nRangeEnd = nUnit;
        if (AppState.nRangeStart >= nUnit) {
            AppState.nRangeStart = 0;
        }
    } else {
        AppState.nRangeStart = nUnit;
        if (AppState.nRangeEnd <= nUnit) {
            AppState.nRangeEnd = AppState.nStreamLength;
        }
    }
    AppState.nRangeMode = 1;
    UpdateAllViews(nullptr, 0);
}
