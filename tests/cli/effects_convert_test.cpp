// The colour mode applied to what a conversion writes: each frame written is, byte for byte,
// the transform of that frame as decoded (uncompressed and lossless), with the strobe counting
// frames written, the DV crop before the transform, a level changed on the way applying from
// the next frame, and a YUV compressor given the transformed picture. Without a mode, nothing
// changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "effects/transform_frame.h"
#include "platform/dib.h"
#include "support/cli_convert.h"
#include "support/conversion_run_fixture.h"
#include "support/test_media.h"

namespace {

using Frame = std::vector<uint8_t>;

// ffmpeg's top-down packed frame as the bottom-up, padded rows the program works in, and back.
Frame ToDib(const Frame& packed, int w, int h) {
    Frame dib(dib::RowBytes24(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        std::memcpy(dib.data() + dib::RowBytes24(w) * static_cast<size_t>(h - 1 - y),
                    packed.data() + static_cast<size_t>(y) * w * 3, static_cast<size_t>(w) * 3);
    }
    return dib;
}

// What the transform makes of each decoded frame; written frame i counts i for the strobe.
std::vector<Frame> Transformed(const std::vector<Frame>& decoded, int w, int h,
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

std::vector<Frame> DecodedDibs(const std::string& strPath, int w, int h) {
    std::vector<Frame> out;
    for (const Frame& f : testmedia::DecodeAll(strPath, w, h)) {
        out.push_back(ToDib(f, w, h));
    }
    return out;
}

// The mean difference of two runs of frames, per byte (the length of the shorter).
double MeanDifference(const std::vector<Frame>& a, const std::vector<Frame>& b) {
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

std::vector<Mode> EveryMode() {
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

TEST(ConvertWithEffects, EveryModeWritesTheTransformOfEachFrameExactly) {
    constexpr int w = 161;  // odd: rows padded in the program, packed in ffmpeg's output
    constexpr int h = 121;
    const std::string strSource = testmedia::MakeClip(
        "effects-odd", "-f lavfi -i testsrc=r=30:d=0.4:s=161x121 -c:v ffv1 -pix_fmt bgr0", "avi");
    ASSERT_FALSE(strSource.empty());
    const std::string strPlain = testmedia::MediaDir() + "/effects-plain.avi";
    const std::string strDest = testmedia::MediaDir() + "/effects-mode.avi";
    ASSERT_EQ(testcli::Convert({strSource, strPlain}).nCode, 0);
    const std::vector<Frame> decoded = testmedia::DecodeAll(strPlain, w, h);
    ASSERT_EQ(decoded.size(), 12U);

    for (const Mode& mode : EveryMode()) {
        const auto expected = Transformed(decoded, w, h, mode.settings);
        for (const char* pszCodec : {"DIB", "FFV1"}) {
            std::vector<std::string> args = {strSource, strDest, "--codec", pszCodec};
            args.insert(args.end(), mode.args.begin(), mode.args.end());
            const testcli::Outcome o = testcli::Convert(args);
            ASSERT_EQ(o.nCode, 0) << o.strErr;
            EXPECT_TRUE(DecodedDibs(strDest, w, h) == expected)
                << "mode " << mode.settings.nColorMode << " " << pszCodec;
        }
    }

    // Thinned, the strobe counts the frames written, not those read.
    const testcli::Outcome thinned =
        testcli::Convert({strSource, strDest, "--thinning", "2", "--mode", "8", "--strobe", "2"});
    ASSERT_EQ(thinned.nCode, 0) << thinned.strErr;
    std::vector<Frame> everyOther;
    for (size_t i = 0; i < decoded.size(); i += 2) {
        everyOther.push_back(decoded[i]);
    }
    effects::EffectSettings strobe;
    strobe.nColorMode = 8;
    strobe.nStrobeInterval = 2;
    EXPECT_TRUE(DecodedDibs(strDest, w, h) == Transformed(everyOther, w, h, strobe));
}

// The DV crop comes first: the written 320 columns are a mosaic of their own, its blocks
// starting at the written picture's corner. A YUV compressor is given the transformed frame.
TEST(ConvertWithEffects, TheCropComesFirstAndYuvCompressorsGetTheTransformedFrame) {
    const std::string strDv = testmedia::MakeClip(
        "effects-dv", "-f lavfi -i testsrc2=r=30:d=0.2:s=360x240 -c:v ffv1 -pix_fmt bgr0", "avi");
    const std::string strPlain = testmedia::MediaDir() + "/effects-dv-plain.avi";
    const std::string strDest = testmedia::MediaDir() + "/effects-dv.avi";
    ASSERT_EQ(testcli::Convert({strDv, strPlain, "--dv-crop"}).nCode, 0);
    const std::vector<Frame> cropped = testmedia::DecodeAll(strPlain, 320, 240);
    ASSERT_EQ(cropped.size(), 6U);
    ASSERT_EQ(testcli::Convert({strDv, strDest, "--dv-crop", "--mode", "6", "--mosaic", "7"}).nCode,
              0);
    effects::EffectSettings mosaic;
    mosaic.nColorMode = 6;
    mosaic.nMosaicSize = 7;
    EXPECT_TRUE(DecodedDibs(strDest, 320, 240) == Transformed(cropped, 320, 240, mosaic));

    // MJPG takes YUV: the negative goes in, so what comes out is near the negative of the
    // plain frames (the compressor's own loss aside), and far from the plain frames.
    ASSERT_EQ(testcli::Convert({strDv, strDest, "--dv-crop", "--codec", "MJPG", "--quality", "100",
                                "--mode", "9"})
                  .nCode,
              0);
    const std::vector<Frame> written = testmedia::DecodeAll(strDest, 320, 240);
    ASSERT_EQ(written.size(), cropped.size());
    std::vector<Frame> negative = cropped;
    for (Frame& frame : negative) {
        for (uint8_t& b : frame) {
            b = static_cast<uint8_t>(255 - b);
        }
    }
    EXPECT_LT(MeanDifference(written, negative), 6.0);
    EXPECT_GT(MeanDifference(written, cropped), 60.0);
}

// A frame with an effect reaches a YUV compressor through a BGR→YUV kernel of our own, not
// swscale: through the identity mode, what it writes is as near to the source as what
// swscale's frames are, so it is upright and in each format's range (MJPG's full range,
// MPEG-4's studio range, odd sizes).
TEST(ConvertWithEffects, TheQuickerYuvConversionIsAsTrueAsSwscales) {
    constexpr int w = 321;
    constexpr int h = 241;
    const std::string strSource = testmedia::MakeClip(
        "effects-yuv", "-f lavfi -i testsrc=r=30:d=0.2:s=321x241 -c:v ffv1 -pix_fmt bgr0", "avi");
    const std::vector<Frame> source = testmedia::DecodeAll(strSource, w, h);
    ASSERT_EQ(source.size(), 6U);
    auto error = [&](const std::string& strPath) {
        const std::vector<Frame> frames = testmedia::DecodeAll(strPath, w, h);
        EXPECT_EQ(frames.size(), source.size());
        return MeanDifference(frames, source);
    };
    const std::string strPlain = testmedia::MediaDir() + "/effects-yuv-plain.avi";
    const std::string strOwn = testmedia::MediaDir() + "/effects-yuv-own.avi";
    for (const char* pszCodec : {"MJPG", "FMP4"}) {
        ASSERT_EQ(
            testcli::Convert({strSource, strPlain, "--codec", pszCodec, "--quality", "100"}).nCode,
            0);
        ASSERT_EQ(testcli::Convert(
                      {strSource, strOwn, "--codec", pszCodec, "--quality", "100", "--mode", "0"})
                      .nCode,
                  0);
        const double dSwscale = error(strPlain);
        const double dOwn = error(strOwn);
        EXPECT_LT(dOwn, dSwscale * 1.1 + 0.2) << pszCodec << ": swscale's " << dSwscale;
        EXPECT_LT(dOwn, 6.0) << pszCodec;
    }
}

TEST(ConvertWithEffects, BadEffectOptionsAreRefused) {
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDest = testmedia::MediaDir() + "/effects-bad.avi";
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--mode", "10"},
                                               {"--levels", "1,2,3"},
                                               {"--mode", "6", "--levels", "1,2,3"},
                                               {"--mode", "3", "--levels", "1,2"},
                                               {"--mosaic", "0"},
                                               {"--strobe-count", "3"}}) {
        std::vector<std::string> all = {strSource, strDest};
        all.insert(all.end(), args.begin(), args.end());
        const testcli::Outcome o = testcli::Convert(all);
        EXPECT_EQ(o.nCode, 2) << args[0] << " " << o.strErr;
    }
}

// Through the window's own conversion: the option in the settings, the mode shown as the
// conversion starts, a level changed while it runs applying from the next frame written.
class EffectsConversionRunTest : public conversiontest::ConversionRunTest {
  protected:
    // strSource converted through the window's conversion without an effect (the frames as
    // decoded), read back.
    std::vector<Frame> PlainFrames(const std::string& strSource, const char* pszDest, int w,
                                   int h) {
        OpenSource(strSource);
        Convert(Dest(pszDest));
        return testmedia::DecodeAll(Dest(pszDest), w, h);
    }
};

TEST_F(EffectsConversionRunTest, TheModeShownIsWrittenAndALevelChangedOnAppliesFromTheNextFrame) {
    constexpr int w = 160;
    constexpr int h = 120;
    const std::string strSource = testmedia::MakeClip(
        "effects-doc", "-f lavfi -i testsrc2=r=30:d=0.3:s=160x120 -c:v ffv1 -pix_fmt bgr0", "avi");
    const std::vector<Frame> decoded = PlainFrames(strSource, "effects-doc-plain.avi", w, h);
    ASSERT_EQ(decoded.size(), 9U);

    AppState.bApplyEffectsToConversion = 1;
    AppState.nColorMode = 3;
    AppState.nRgbLevel[0] = 50;
    OpenSource(strSource);
    ui.saveAnswers.push_back(Dest("effects-doc.avi"));
    doc.OnFileConvert();
    ASSERT_TRUE(AppState.bConverting);
    AppState.nColorMode = 9;  // the mode shown changes: the conversion keeps its own
    for (int i = 0; i < 10000 && AppState.bConverting; ++i) {
        if (writer.nFrameCount == 4) {
            AppState.nRgbLevel[0] = -80;  // frames 4 on
        }
        clock.Advance(100'000);
        doc.OnPlaybackTick(1);
    }
    effects::EffectSettings before;
    before.nColorMode = 3;
    before.nRgbLevel[0] = 50;
    effects::EffectSettings after = before;
    after.nRgbLevel[0] = -80;
    std::vector<Frame> expected = Transformed(decoded, w, h, before);
    const std::vector<Frame> later = Transformed(decoded, w, h, after);
    std::copy(later.begin() + 4, later.end(), expected.begin() + 4);
    EXPECT_TRUE(DecodedDibs(Dest("effects-doc.avi"), w, h) == expected);

    // Off again: the frames as decoded, whatever is shown.
    AppState.bApplyEffectsToConversion = 0;
    EXPECT_TRUE(PlainFrames(strSource, "effects-doc-off.avi", w, h) == decoded);
}

// Every mode through the window's conversion (uncompressed and lossless), as the CLI cases
// above check them through the command line.
TEST_F(EffectsConversionRunTest, EveryModeThroughTheWindowsConversion) {
    constexpr int w = 161;
    constexpr int h = 121;
    const std::string strSource = testmedia::MakeClip(
        "effects-odd", "-f lavfi -i testsrc=r=30:d=0.4:s=161x121 -c:v ffv1 -pix_fmt bgr0", "avi");
    const std::vector<Frame> decoded = PlainFrames(strSource, "effects-doc-modes-plain.avi", w, h);
    ASSERT_EQ(decoded.size(), 12U);
    for (const Mode& mode : EveryMode()) {
        for (const char* pszCodec : {"DIB ", "FFV1"}) {
            const effects::EffectSettings& e = mode.settings;
            AppState.bApplyEffectsToConversion = 1;
            AppState.nColorMode = e.nColorMode;
            for (int k = 0; k < 3; ++k) {
                AppState.nRgbLevel[k] = e.nRgbLevel[k];
                AppState.nYuvLevel[k] = e.nYuvLevel[k];
                AppState.nHsvLevel[k] = e.nHsvLevel[k];
            }
            AppState.nMosaicSize = e.nMosaicSize;
            AppState.nPaintLevels = e.nPaintLevels;
            AppState.nStrobeInterval = e.nStrobeInterval;
            AppState.nStrobeCount = 7;  // the screen's count: not the file's
            UseCompressor(pszCodec[0], pszCodec[1], pszCodec[2], pszCodec[3], 0);
            OpenSource(strSource);
            Convert(Dest("effects-doc-mode.avi"));
            EXPECT_TRUE(DecodedDibs(Dest("effects-doc-mode.avi"), w, h) ==
                        Transformed(decoded, w, h, e))
                << "mode " << e.nColorMode << " " << pszCodec;
        }
    }
}

}  // namespace
