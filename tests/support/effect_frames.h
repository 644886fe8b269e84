#pragma once
// Frames for the tests of conversions through a colour mode: FFmpeg's decode as the program's
// bottom-up rows, what the transform makes of them, and every mode with the options that
// select it.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "effects/transform_frame.h"
#include "platform/dib.h"
#include "support/test_media.h"

namespace effecttest {

using Frame = std::vector<uint8_t>;

// ffmpeg's top-down packed frame as the bottom-up, padded rows the program works in, and back.
inline Frame ToDib(const Frame& packed, int w, int h) {
    Frame dib(dib::RowBytes24(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        std::memcpy(dib.data() + dib::RowBytes24(w) * static_cast<size_t>(h - 1 - y),
                    packed.data() + static_cast<size_t>(y) * w * 3, static_cast<size_t>(w) * 3);
    }
    return dib;
}

// What the transform makes of each decoded frame; written frame i counts i for the strobe.
inline std::vector<Frame> Transformed(const std::vector<Frame>& decoded, int w, int h,
                                      effects::EffectSettings settings) {
    std::vector<Frame> out;
    for (size_t i = 0; i < decoded.size(); ++i) {
        const Frame src = ToDib(decoded[i], w, h);
        Frame dst(src.size());
        settings.nStrobeCount = static_cast<int32_t>(i);
        effects::TransformFrame24(dst.data(), src.data(), w, h, settings);
        out.push_back(dst);
    }
    return out;
}

inline std::vector<Frame> DecodedDibs(const std::string& strPath, int w, int h) {
    std::vector<Frame> out;
    for (const Frame& f : testmedia::DecodeAll(strPath, w, h)) {
        out.push_back(ToDib(f, w, h));
    }
    return out;
}

// The mean difference of two runs of frames, per byte (the length of the shorter).
inline double MeanDifference(const std::vector<Frame>& a, const std::vector<Frame>& b) {
    double dSum = 0;
    size_t nBytes = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (size_t k = 0; k < a[i].size() && k < b[i].size(); ++k) {
            dSum += std::abs(a[i][k] - b[i][k]);
        }
        nBytes += std::min(a[i].size(), b[i].size());
    }
    return nBytes == 0 ? 0.0 : dSum / static_cast<double>(nBytes);
}

struct Mode {
    std::vector<std::string> args;
    effects::EffectSettings settings;
};

inline std::vector<Mode> EveryMode() {
    std::vector<Mode> modes;
    for (int m = 0; m <= 9; ++m) {
        Mode mode;
        mode.settings.nColorMode = m;
        mode.args = {"--mode", std::to_string(m)};
        modes.push_back(mode);
    }
    auto levels = [](Mode& mode, int32_t(&target)[3], int a, int b, int c) {
        target[0] = a;
        target[1] = b;
        target[2] = c;
        mode.args.insert(mode.args.end(), {"--levels", std::to_string(a) + "," + std::to_string(b) +
                                                           "," + std::to_string(c)});
    };
    levels(modes[3], modes[3].settings.nRgbLevel, 40, -30, 200);
    levels(modes[4], modes[4].settings.nYuvLevel, -20, 30, -40);
    levels(modes[5], modes[5].settings.nHsvLevel, 60, -50, 30);
    modes[6].settings.nMosaicSize = 5;
    modes[6].args.insert(modes[6].args.end(), {"--mosaic", "5"});
    modes[7].settings.nPaintLevels = 2;
    modes[7].args.insert(modes[7].args.end(), {"--paint", "2"});
    modes[8].settings.nStrobeInterval = 3;
    modes[8].args.insert(modes[8].args.end(), {"--strobe", "3"});
    return modes;
}

}  // namespace effecttest
