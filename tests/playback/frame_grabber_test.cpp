#include "playback/frame_grabber.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "playback/quovel_doc.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "support/test_media.h"

using platform::TimeFormat;

namespace {

constexpr int64_t kFrame30 = 333'333;

TEST(StreamLength, FollowsTheTimeFormatTable) {
    int64_t llUnits = 99;
    EXPECT_EQ(WorkOutStreamLength(TimeFormat::MediaTime, 100'000'000, 30, llUnits), 300);
    EXPECT_EQ(llUnits, 333'333);
    EXPECT_EQ(WorkOutStreamLength(TimeFormat::MediaTime, 100'000'000, 15, llUnits), 300)
        << "media time is counted at 30 frames a second whatever the source rate";
    EXPECT_EQ(llUnits, 666'666);
    EXPECT_EQ(WorkOutStreamLength(TimeFormat::MediaTime, 99'999'999, 30, llUnits), 299);
    for (TimeFormat f : {TimeFormat::Frame, TimeFormat::Sample, TimeFormat::Field}) {
        llUnits = 99;
        EXPECT_EQ(WorkOutStreamLength(f, 250, 30, llUnits), 250);
        EXPECT_EQ(llUnits, 1);
    }
    EXPECT_EQ(WorkOutStreamLength(TimeFormat::Frame, 0x1'0000'00FA, 30, llUnits), 250)
        << "the low 32 bits";
    for (TimeFormat f : {TimeFormat::Byte, TimeFormat::None}) {
        llUnits = 99;
        EXPECT_EQ(WorkOutStreamLength(f, 5000, 30, llUnits), 0);
        EXPECT_EQ(llUnits, 0);
    }
    llUnits = 99;
    EXPECT_EQ(WorkOutStreamLength(TimeFormat::Other, 5000, 30, llUnits), 0);
    EXPECT_EQ(llUnits, 99);
    EXPECT_EQ(WorkOutStreamLength(TimeFormat::MediaTime, INT64_MAX / 4, 30, llUnits), INT32_MAX)
        << "an unknown length saturates";
    EXPECT_EQ(WorkOutStreamLength(TimeFormat::MediaTime, 100'000'000, 0, llUnits), 300);
    EXPECT_EQ(llUnits, 0) << "a zero rate must not divide";
}

class FrameGrabberTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    // Opens a clip the way the document does, with blocks for its frames.
    void OpenClip(const std::string& strPath) {
        grabber.SetFileName(strPath);
        int32_t w = 0;
        int32_t h = 0;
        int32_t n = 0;
        ASSERT_TRUE(grabber.Open(&doc, w, h, n));
        ASSERT_TRUE(doc.AllocateImages(w, h));
    }
    int Shown() const {
        return testmedia::ReadIndex(doc.pFrameImage.get() + dib::kPixelOffset, grabber.nFrameWidth,
                                    grabber.nFrameHeight);
    }
};

TEST_F(FrameGrabberTest, AccessorsAnswerOnlyOnceAFileIsNamed) {
    int32_t a = -7;
    int32_t b = -7;
    std::string s = "untouched";
    EXPECT_EQ(grabber.GetStreamLength(a), 0);
    EXPECT_EQ(grabber.GetFrameSize(a, b), 0);
    EXPECT_EQ(a, -7);
    EXPECT_EQ(b, -7);
    EXPECT_EQ(grabber.GetFileName(s), 0);
    EXPECT_EQ(s, "");

    grabber.SetFileName(testmedia::MediaDir() + "/missing.avi");
    int32_t w = 0;
    int32_t h = 0;
    int32_t n = 0;
    EXPECT_FALSE(grabber.Open(&doc, w, h, n));
    EXPECT_EQ(grabber.GetFrameSize(a, b), 1);
    EXPECT_EQ(a, 0) << "no successful open yet";
    EXPECT_EQ(grabber.GetFileName(s), 1);
    EXPECT_EQ(s, testmedia::MediaDir() + "/missing.avi");
    EXPECT_EQ(grabber.bPlaying, 0);
}

TEST_F(FrameGrabberTest, OpenWorksOutLengthAtThirtyAndUnitsAtTheSourceRate) {
    const std::string strPath =
        testmedia::IndexedClip({160, 120, 25, 250, "-c:v mpeg4 -q:v 4", "avi"});  // 10 s
    for (int32_t nRate : {30, 15}) {
        AppState.nSrcFrameRate = nRate;
        grabber.SetFileName(strPath);
        int32_t w = 0;
        int32_t h = 0;
        int32_t n = 0;
        ASSERT_TRUE(grabber.Open(&doc, w, h, n));
        EXPECT_EQ(w, 160);
        EXPECT_EQ(h, 120);
        EXPECT_EQ(n, 300);
        EXPECT_EQ(grabber.nLengthFrames, 300);
        EXPECT_EQ(grabber.llTimePerFrame, nRate == 30 ? 333'333 : 666'666);
        EXPECT_EQ(grabber.bmiHeader.biWidth, 160);
    }
}

TEST_F(FrameGrabberTest, PlaybackCopiesTheNewestFrameAndPauseHoldsIt) {
    OpenClip(testmedia::IndexedClip({}));
    grabber.Run();
    EXPECT_EQ(grabber.nFrameCounter, 1);
    EXPECT_EQ(grabber.bPlaying, 1);

    ASSERT_TRUE(grabber.FetchFrame());
    EXPECT_EQ(Shown(), 0);
    EXPECT_EQ(AppState.bFrameReady, 1);
    dib::BitmapInfoHeader header;
    std::memcpy(&header, doc.pFrameImage.get() + 14, 40);
    EXPECT_EQ(header.biWidth, 320);

    clock.Advance(10 * kFrame30);  // frames between two ticks are dropped
    ASSERT_TRUE(grabber.FetchFrame());
    EXPECT_EQ(Shown(), 10);

    grabber.TogglePause();
    clock.Advance(5 * kFrame30);
    EXPECT_FALSE(grabber.FetchFrame());
    EXPECT_EQ(grabber.nFrameCounter, 3);
    grabber.TogglePause();
    ASSERT_TRUE(grabber.FetchFrame());
    EXPECT_EQ(Shown(), 10) << "the paused time does not count";

    clock.Advance(kFrame30);
    grabber.Run();  // already running: no seek back to the start
    ASSERT_TRUE(grabber.FetchFrame());
    EXPECT_EQ(Shown(), 11);

    // A draw under way with a frame ready: the fetch keeps its hands off.
    AppState.bDrawing = 1;
    EXPECT_FALSE(grabber.FetchFrame());
    AppState.bDrawing = 0;
}

TEST_F(FrameGrabberTest, ConversionStepsExactlyOneFrameAtATimeFromTheRangeStart) {
    OpenClip(testmedia::IndexedClip(
        {320, 240, 30, 120, "-c:v libx264 -preset ultrafast -g 120 -bf 2", "mp4"}));
    AppState.bConverting = 1;
    AppState.nRangeStart = 40;
    grabber.Run();
    for (int k = 40; k < 70; ++k) {
        // However long the ticks take, each one copies the next frame of the range.
        clock.Advance((k % 3) * 10'000'000);
        ASSERT_TRUE(grabber.FetchFrame());
        ASSERT_EQ(Shown(), k);
    }
    EXPECT_LE(grabber.pGraph->SeekCount(), 1) << "stepping decodes on, it does not seek";
}

TEST_F(FrameGrabberTest, ConversionOfAnMpegProgramStreamReachesItsLastFrame) {
    // The container only estimates where this stream ends (short of the real end here).
    OpenClip(
        testmedia::IndexedClip({320, 240, 30, 45, "-c:v mpeg1video -q:v 5 -g 15 -f mpeg", "mpg"}));
    AppState.bConverting = 1;
    grabber.Run();
    for (int k = 0; k < 45; ++k) {
        ASSERT_TRUE(grabber.FetchFrame()) << k;
        ASSERT_EQ(Shown(), k);
    }
    EXPECT_FALSE(grabber.FetchFrame());
    EXPECT_EQ(grabber.bPlaying, 0);

    // A range that starts past the estimate.
    OpenClip(grabber.strFileName);
    AppState.nRangeStart = 43;
    grabber.Run();
    for (int k = 43; k < 45; ++k) {
        ASSERT_TRUE(grabber.FetchFrame()) << k;
        ASSERT_EQ(Shown(), k);
    }
    EXPECT_FALSE(grabber.FetchFrame());
}

TEST_F(FrameGrabberTest, EndOfStreamClosesAndRestartsOnlyInRepeatOutsideConversion) {
    const std::string strPath = testmedia::IndexedClip({});  // 2 s
    struct Row {
        int32_t bRepeat;
        int32_t bConverting;
        int32_t bExpectRestart;
    };
    for (Row row : {Row{0, 0, 0}, Row{1, 0, 1}, Row{1, 1, 0}, Row{2, 0, 0}}) {
        AppState.bRepeatPlay = row.bRepeat;
        AppState.bConverting = row.bConverting;
        AppState.bRestartPending = 0;
        OpenClip(strPath);
        grabber.Run();
        if (row.bConverting) {
            for (int k = 0; k < 60; ++k) {
                ASSERT_TRUE(grabber.FetchFrame()) << k;
            }
        } else {
            // 60 steps of the truncated frame time land 20 units short of the end.
            clock.Advance(60 * kFrame30);
        }
        EXPECT_FALSE(grabber.FetchFrame());
        EXPECT_EQ(grabber.bPlaying, 0);
        EXPECT_FALSE(grabber.pGraph);
        EXPECT_EQ(AppState.bRestartPending, row.bExpectRestart)
            << "repeat " << row.bRepeat << " converting " << row.bConverting;
        grabber.Close();  // closing an idle grabber does nothing
        EXPECT_EQ(grabber.bPlaying, 0);
    }
}

// A file with no video that decodes is refused, and the grabber keeps the file it had.
TEST_F(FrameGrabberTest, FilesWithoutDecodableVideoAreRefusedAndChangeNothing) {
    const std::string strClip = testmedia::IndexedClip({});
    OpenClip(strClip);
    for (const std::string& strPath :
         {testmedia::MakeClip("audio-only", "-f lavfi -i sine=d=2 -c:a pcm_s16le", "avi"),
          testmedia::WriteFile("empty.avi", ""), testmedia::MediaDir() + "/absent.avi"}) {
        EXPECT_EQ(grabber.BuildGraph(strPath), nullptr) << strPath;
    }
    grabber.SetFileName(
        testmedia::MakeClip("audio-only", "-f lavfi -i sine=d=2 -c:a pcm_s16le", "avi"));
    int32_t w = 0;
    int32_t h = 0;
    int32_t n = 0;
    EXPECT_FALSE(grabber.Open(&doc, w, h, n));
    EXPECT_EQ(grabber.nFrameWidth, 320) << "the facts of the clip opened before";
    EXPECT_EQ(grabber.nLengthFrames, 60);
}

}  // namespace
