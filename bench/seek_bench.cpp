// quovel_seek_bench CLIP
// Moving in a clip as the position bar and the 移動 keys do, decoder threads as in the
// program: exact seeks to ten fixed random frames (median ms, each from far away), one frame
// back and one forward (median ms over 50 steps, paused, and the slowest back step and the
// bytes of frames kept behind), and the pictures a second two drags show: a fast one across
// the whole clip (30 handle positions) and a slow one over 10 s of it (100 positions), with
// how many different frames each showed. Prints "seek_ms=… back_ms=… back_max_ms=…
// behind_mb=… forward_ms=… drag_pps=… drag_frames=… slow_pps=… slow_frames=… times=T1,…"
// (the seek targets in seconds, for the same seeks by ffmpeg).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "convert/media_session.h"
#include "framework/null_services.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"

namespace {
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}
double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CLIP\n", argv[0]);
        return 2;
    }
    platform::ManualMediaClock clock;
    fw::NullUiServices ui;
    fw::NullRecentFileList recent;
    CMediaSession session(ui, recent, clock, platform::MediaGraphOptions{});
    CQuovelDoc& doc = session.Doc();
    CFrameGrabber& grabber = session.Grabber();
    if (!doc.OpenFilePath(argv[1]) || !grabber.pGraph) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    grabber.FetchFrame();
    int64_t llDuration = 0;
    grabber.pGraph->GetDuration(llDuration);
    doc.OnPlayPause();

    // Exact seeks: to a fixed set of random positions, alternately from the clip's far end.
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int64_t> anywhere(llDuration / 10, llDuration * 9 / 10);
    std::vector<double> seeks;
    std::string strTimes;
    for (int i = 0; i < 10; ++i) {
        const int64_t llTarget = anywhere(random);
        grabber.MoveTo(i % 2 == 0 ? 0 : llDuration);
        const auto t0 = Clock::now();
        grabber.MoveTo(llTarget);
        seeks.push_back(Ms(t0));
        char sz[32];
        std::snprintf(sz, sizeof(sz), "%s%.3f", i == 0 ? "" : ",", llTarget / 1e7);
        strTimes += sz;
    }

    // Frame steps from the middle of a GOP.
    grabber.MoveTo(llDuration * 4 / 5);
    std::vector<double> backs;
    for (int i = 0; i < 50; ++i) {
        const auto t0 = Clock::now();
        grabber.StepFrame(-1);
        backs.push_back(Ms(t0));
    }
    std::vector<double> forwards;
    for (int i = 0; i < 50; ++i) {
        const auto t0 = Clock::now();
        grabber.StepFrame(+1);
        forwards.push_back(Ms(t0));
    }

    const double dBackMax = *std::max_element(backs.begin(), backs.end());
    const double dBehindMb = static_cast<double>(grabber.pGraph->FramesBehindBytes()) / 1e6;

    // Drags: the handle's positions as fast as the pictures follow them.
    auto drag = [&](int64_t llFrom, int64_t llTo, int nPositions, size_t& nFrames) {
        grabber.MoveTo(llFrom);
        std::set<int64_t> shown;
        const auto t0 = Clock::now();
        for (int i = 1; i <= nPositions; ++i) {
            grabber.MoveNear(llFrom + (llTo - llFrom) * i / nPositions);
            shown.insert(grabber.ShownFrameStart());
        }
        nFrames = shown.size();
        return nPositions * 1000.0 / Ms(t0);
    };
    size_t nDragFrames = 0;
    size_t nSlowFrames = 0;
    const double dDragPps = drag(0, llDuration, 30, nDragFrames);
    const int64_t llMiddle = llDuration / 2;
    const double dSlowPps =
        drag(llMiddle, std::min(llDuration, llMiddle + 10 * platform::kMediaUnitsPerSecond), 100,
             nSlowFrames);

    std::printf(
        "seek_ms=%.2f back_ms=%.2f back_max_ms=%.1f behind_mb=%.0f forward_ms=%.2f "
        "drag_pps=%.1f drag_frames=%zu slow_pps=%.1f slow_frames=%zu times=%s\n",
        Median(seeks), Median(backs), dBackMax, dBehindMb, Median(forwards), dDragPps, nDragFrames,
        dSlowPps, nSlowFrames, strTimes.c_str());
    return 0;
}
