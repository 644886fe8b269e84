// A conversion through the window's own run with the colour mode applied, against FFmpeg's
// decode of the source put through the transform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/app_state.h"
#include "support/conversion_run_fixture.h"
#include "support/effect_frames.h"
#include "support/test_media.h"

namespace {

using effecttest::DecodedDibs;
using effecttest::EveryMode;
using effecttest::Frame;
using effecttest::Mode;
using effecttest::Transformed;

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
