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
#include "support/effect_frames.h"
#include "support/test_media.h"

namespace {

using effecttest::DecodedDibs;
using effecttest::EveryMode;
using effecttest::Frame;
using effecttest::MeanDifference;
using effecttest::Mode;
using effecttest::Transformed;

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

}  // namespace
