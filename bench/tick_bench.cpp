// quovel_tick_bench CLIP RATE ZOOM [VIEW_W VIEW_H [realtime [sound]]]
// The cost of whole playback ticks in the real window (offscreen): fetch, transform, blit and
// the synchronous repaint. ZOOM 1..4, or 0 to fit the picture to a VIEW_W × VIEW_H view.
// Prints "ticks=N ms_per_tick=T ui_cpu_ms_per_tick=U": T is the wall time of a tick run back
// to back (so it includes waiting for the decode thread), U the user-interface thread's own
// CPU time per tick, what a tick takes from menus and repaints when playing in real time.
// With "realtime" the clip plays as in the program instead, one tick every 33 ms on the real
// clock, and it prints "shown=N due=M missed=K": the source frames (RATE a second) shown,
// those whose time came, and those skipped after the first second, and "cpu_ms=C", the
// process's CPU time (every thread) while playing. With "sound" the file's sound plays too,
// through the sound server PULSE_SERVER names, the picture following it as in the program.
#include <sys/resource.h>
#include <time.h>
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_sound_output.h"
#include "app/qt/qt_ui_services.h"
#include "app/quovel_app.h"
#include "convert/qt/compressor_dialog.h"
#include "framework/null_services.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_state.h"
#include "view/qt/video_widget.h"
#include "view/quovel_view.h"

namespace {
class NoRecentStore final : public IRecentFileStore {
  public:
    void Add(const std::string&) override {}
    void Remove(const std::string&) override {}
    const std::vector<std::string>& Entries() const override { return m_entries; }

  private:
    std::vector<std::string> m_entries;
};
}  // namespace

static double ProcessCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) * 1000.0 + static_cast<double>(tv.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Plays as the program does: a tick every 33 ms of real time, the graph's clock following the
// real one (or the sound). A frame counts as shown when a tick's position falls in it.
static void PlayInRealTime(CQuovelApp& app, platform::ManualMediaClock& clock, int nRate) {
    using Clock = std::chrono::steady_clock;
    const double dCpu0 = ProcessCpuMs();
    const auto start = Clock::now();
    auto next = start;
    int64_t llLast = -1;
    int64_t llShown = 0;
    int64_t llMissed = 0;
    int64_t llDue = 0;
    bool bSound = false;
    while (AppState.pGrabber->bPlaying && AppState.pGrabber->pGraph) {
        next += std::chrono::milliseconds(CQuovelDoc::kPlaybackIntervalMs);
        std::this_thread::sleep_until(next);
        QApplication::processEvents();
        const auto llElapsed =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
        clock.Set(llElapsed / 100);
        app.View().OnTimer(1);
        bSound = bSound || AppState.pGrabber->SoundPlaying();
        if (!AppState.pGrabber->pGraph) {
            break;
        }
        int64_t llPosition = 0;
        AppState.pGrabber->pGraph->GetCurrentPosition(llPosition);
        const int64_t llFrame = llPosition * nRate / 10'000'000;
        llDue = llFrame + 1;
        if (llFrame != llLast) {
            ++llShown;
            if (llLast >= 0 && llFrame > llLast + 1 && llPosition >= 10'000'000) {
                llMissed += llFrame - llLast - 1;
            }
            llLast = llFrame;
        }
    }
    std::printf("shown=%lld due=%lld missed=%lld cpu_ms=%.0f sound=%d\n",
                static_cast<long long>(llShown), static_cast<long long>(llDue),
                static_cast<long long>(llMissed), ProcessCpuMs() - dCpu0, bSound ? 1 : 0);
}

static double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

int main(int argc, char** argv) {
    if (argc < 4 || argc == 5 || argc > 8) {
        std::fprintf(stderr, "usage: %s CLIP RATE ZOOM [VIEW_W VIEW_H [realtime [sound]]]\n",
                     argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int nQtArgc = 1;
    QApplication qtApp(nQtArgc, argv);
    const int nRate = std::atoi(argv[2]);
    const int nZoom = std::atoi(argv[3]);

    CQtUiServices ui;
    NoRecentStore recent;
    platform::ManualMediaClock clock;
    CQtAppShell shell(ui);
    CCompressorDialog chooser;
    CQtSoundOutput sound;
    CQuovelApp app(shell, ui, recent, clock, chooser);
    if (argc == 8 && std::string(argv[7]) == "sound") {
        app.SetSoundOutput(&sound);
    }
    if (!app.InitInstance({argv[1]}) || AppState.pGrabber == nullptr ||
        !AppState.pGrabber->bPlaying) {
        std::fprintf(stderr, "cannot play %s\n", argv[1]);
        return 1;
    }
    CMainFrame* pFrame = shell.Frame();
    if (nZoom == 0) {
        app.Router().Execute(cmd::kZoomFit);
        const QSize client = pFrame->VideoWidget()->ClientSizeWithoutScrollBars();
        pFrame->resize(pFrame->width() - client.width() + std::atoi(argv[4]),
                       pFrame->height() - client.height() + std::atoi(argv[5]));
    } else {
        app.Router().Execute(cmd::kZoom1 + static_cast<cmd::Id>(nZoom - 1));
    }
    QApplication::processEvents();

    if (argc >= 7 && std::string(argv[6]) == "realtime") {
        PlayInRealTime(app, clock, nRate);
    } else {
        // Warm up, then time whole ticks until the clip ends or 300 ticks have run.
        for (int i = 0; i < 5; ++i) {
            clock.Advance(10'000'000 / nRate);
            app.View().OnTimer(1);
        }
        int nTicks = 0;
        const auto t0 = std::chrono::steady_clock::now();
        const double dCpu0 = ThreadCpuMs();
        while (AppState.pGrabber->bPlaying && nTicks < 300) {
            clock.Advance(10'000'000 / nRate);
            app.View().OnTimer(1);
            ++nTicks;
        }
        const double dMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
        const double dCpuMs = ThreadCpuMs() - dCpu0;
        std::printf("ticks=%d ms_per_tick=%.3f ui_cpu_ms_per_tick=%.3f\n", nTicks, dMs / nTicks,
                    dCpuMs / nTicks);
    }
    shell.DestroyMainFrame();
    app.ExitInstance();
    return 0;
}
