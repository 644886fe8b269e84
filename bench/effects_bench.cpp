// quovel_effects_bench FRAME.bgr WIDTH HEIGHT [MODE]
// Times TransformFrame in every colour mode (or only MODE, 0..9) on one frame (raw BGR24, top
// row first, as ffmpeg writes it), single thread, best of several runs. Prints one line per
// mode: "mode=N name=NAME ms=T".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "effects/transform_frame.h"
#include "platform/dib.h"
#include "state/app_state.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s FRAME.bgr WIDTH HEIGHT [MODE]\n", argv[0]);
        return 2;
    }
    const int w = std::atoi(argv[2]);
    const int h = std::atoi(argv[3]);
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<uint8_t> raw((std::istreambuf_iterator<char>(in)), {});
    if (w <= 0 || h <= 0 || raw.size() < static_cast<size_t>(w) * h * 3) {
        std::fprintf(stderr, "frame too small\n");
        return 1;
    }
    const size_t nRow = dib::RowBytes24(w);
    std::vector<uint8_t> src(nRow * h);
    std::vector<uint8_t> out(nRow * h);
    for (int y = 0; y < h; ++y) {  // bottom row first, as in the blocks
        std::copy_n(raw.data() + static_cast<size_t>(h - 1 - y) * w * 3, w * 3,
                    src.data() + nRow * y);
    }
    const dib::BitmapInfoHeader header = dib::MakeHeader24(w, h);

    const char* names[] = {"standard", "monochrome", "sepia", "rgb",    "yuv",
                           "hsv",      "mosaic",     "paint", "strobe", "negative"};
    AppState.nRgbLevel[0] = 20, AppState.nRgbLevel[1] = -10, AppState.nRgbLevel[2] = 5;
    AppState.nYuvLevel[0] = 10, AppState.nYuvLevel[1] = 5, AppState.nYuvLevel[2] = -5;
    AppState.nHsvLevel[0] = 64;  // a quarter turn, like hue=h=90
    AppState.nMosaicSize = 8;
    AppState.nPaintLevels = 3;
    const int nOnly = argc == 5 ? std::atoi(argv[4]) : -1;
    for (int nMode = 0; nMode < 10; ++nMode) {
        if (nOnly >= 0 && nMode != nOnly) {
            continue;
        }
        AppState.nColorMode = nMode;
        effects::TransformFrame(out.data(), src.data(), &header, w, h);  // warm the tables
        double dBest = 1e9;
        for (int nRun = 0; nRun < 7; ++nRun) {
            const int nCalls = 5;
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < nCalls; ++i) {
                effects::TransformFrame(out.data(), src.data(), &header, w, h);
            }
            const double dMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count() /
                nCalls;
            dBest = std::min(dBest, dMs);
        }
        std::printf("mode=%d name=%s ms=%.3f\n", nMode, names[nMode], dBest);
    }
    return 0;
}
