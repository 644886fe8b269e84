// quovel_decode_bench MODE CLIP RATE THREADS [FRAMES]
//   MODE sequential: play CLIP through the frame grabber into FrameImage, one frame per fetch
//                    (the clock advances one frame period of RATE between fetches);
//   MODE stepping:   convert-style stepping from frame 0, one source frame per fetch.
// Stops at the end of the clip or after FRAMES frames. Prints "frames=N seconds=S fps=F".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "convert/media_session.h"
#include "framework/null_services.h"
#include "state/app_state.h"

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: %s sequential|stepping CLIP RATE THREADS [FRAMES]\n", argv[0]);
        return 2;
    }
    const std::string strMode = argv[1];
    const int nRate = std::atoi(argv[3]);
    const long nLimit = argc == 6 ? std::atol(argv[5]) : -1;
    platform::ManualMediaClock clock;
    platform::MediaGraphOptions options;
    options.nDecoderThreads = std::atoi(argv[4]);

    fw::NullUiServices ui;
    fw::NullRecentFileList recent;
    CMediaSession session(ui, recent, clock, options);
    CQuovelDoc& doc = session.Doc();
    CFrameGrabber& grabber = session.Grabber();
    AppState.nSrcFrameRate = nRate;
    AppState.bConverting = strMode == "stepping" ? 1 : 0;

    const auto start = std::chrono::steady_clock::now();
    grabber.SetFileName(argv[2]);
    int32_t w = 0, h = 0, n = 0;
    if (!grabber.Open(&doc, w, h, n) || !doc.AllocateImages(w, h)) {
        std::fprintf(stderr, "cannot open %s\n", argv[2]);
        return 1;
    }
    grabber.Run();
    long nFrames = 0;
    while (grabber.bPlaying && nFrames != nLimit) {
        if (grabber.FetchFrame()) {
            ++nFrames;
        }
        if (!AppState.bConverting) {
            clock.Advance(10'000'000 / nRate);
        }
    }
    const double dSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("frames=%ld seconds=%.3f fps=%.1f\n", nFrames, dSeconds, nFrames / dSeconds);
    return 0;
}
