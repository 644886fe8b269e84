// Moving in the stream: every seek and step shows exactly the source frame at the new place,
// on the kinds of file that make that hard (long GOPs with B-frames, program streams, VFR).
#include <gtest/gtest.h>

#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_state.h"
#include "support/conversion_run_fixture.h"
#include "support/media_rig.h"
#include "support/test_media.h"

namespace {

constexpr int64_t kSecond = platform::kMediaUnitsPerSecond;

class FrameMovesTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    void Play(const std::string& strPath) {
        ASSERT_FALSE(strPath.empty());
        ui.answers.push_back(strPath);
        doc.OnFileOpen();
        ASSERT_TRUE(grabber.bPlaying);
        doc.OnPlaybackTick(1);
    }
    int Shown() const {
        return testmedia::ReadIndex(doc.pFrameImage.get() + dib::kPixelOffset, grabber.nFrameWidth,
                                    grabber.nFrameHeight);
    }
};

struct Kind {
    const char* pszName;
    testmedia::ClipSpec recipe;
    int nFrames;
    int nRate;  // 0: frames are not evenly spaced
};

const std::string kVfr =
    "-c:v mpeg4 -q:v 2 -fps_mode passthrough -bsf:v "
    "setts=pts='(N+floor(N/3)*2)*100/3':dts='(N+floor(N/3)*2)*100/3'";

const Kind kKinds[] = {
    {"h264 gop 250 b-frames",
     {160, 120, 30, 300, "-c:v libx264 -preset ultrafast -g 250 -bf 2 -sc_threshold 0", "mp4"},
     300,
     30},
    {"mpeg-2 program stream", {160, 120, 30, 60, "-c:v mpeg2video -q:v 2 -g 15", "mpg"}, 60, 30},
    {"vfr", {160, 120, 30, 30, kVfr, "mkv"}, 30, 0},
    {"mjpeg avi", {160, 120, 30, 45, "-c:v mjpeg -q:v 3", "avi"}, 45, 30},
    // Timed by decoding, each frame late by the B-frames' delay; key frames every 12.
    {"mpeg-4 avi b-frames", {160, 120, 30, 60, "-c:v mpeg4 -q:v 2 -g 12 -bf 2", "avi"}, 60, 30},
};

TEST_F(FrameMovesTest, EverySeekAndStepShowsExactlyTheFrameThere) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.pszName);
        Play(testmedia::IndexedClip(k.recipe));
        EXPECT_EQ(Shown(), 0);

        // Forward a frame at a time, pausing first.
        for (int i = 1; i <= 12; ++i) {
            ASSERT_TRUE(grabber.StepFrame(+1));
            ASSERT_EQ(Shown(), i);
        }
        EXPECT_EQ(grabber.bPaused, 1);
        // And back: n − 1 each time.
        for (int i = 11; i >= 0; --i) {
            ASSERT_TRUE(grabber.StepFrame(-1));
            ASSERT_EQ(Shown(), i);
        }
        EXPECT_FALSE(grabber.StepFrame(-1)) << "nothing before the first frame";
        EXPECT_EQ(Shown(), 0);

        // The last frame; Right there stays.
        ASSERT_TRUE(grabber.MoveToEnd(true));
        EXPECT_EQ(Shown(), k.nFrames - 1);
        EXPECT_FALSE(grabber.StepFrame(+1));
        EXPECT_EQ(Shown(), k.nFrames - 1);
        ASSERT_TRUE(grabber.StepFrame(-1));
        EXPECT_EQ(Shown(), k.nFrames - 2);
        ASSERT_TRUE(grabber.MoveToEnd(false));
        EXPECT_EQ(Shown(), 0);

        if (k.nRate > 0) {
            // Positions anywhere: the frame whose interval holds it, backward and forward.
            for (const int nFrame : {k.nFrames / 2, 7, k.nFrames - 3, 1, k.nFrames / 3}) {
                const int64_t llAt = (nFrame * kSecond + kSecond / 2) / k.nRate;  // mid-frame
                ASSERT_TRUE(grabber.MoveTo(llAt));
                EXPECT_EQ(Shown(), nFrame);
                EXPECT_NEAR(grabber.ShownFrameStart(), nFrame * kSecond / k.nRate, 1);
            }
            ASSERT_TRUE(grabber.MoveTo(0));
            ASSERT_TRUE(grabber.StepSeconds(+1));
            EXPECT_EQ(Shown(), k.nRate);
            ASSERT_TRUE(grabber.StepSeconds(-1));
            EXPECT_EQ(Shown(), 0);
        }
        doc.OnPlayStop();
        EXPECT_FALSE(grabber.StepFrame(+1)) << "nothing to move once stopped";
    }
}

TEST_F(FrameMovesTest, KeyFrameStepsLandOnKeyFramesAndPlayingGoesOnFromThere) {
    Play(testmedia::IndexedClip(kKinds[0].recipe));
    ASSERT_TRUE(grabber.StepKeyFrame(+1));
    EXPECT_EQ(Shown(), 250);
    EXPECT_FALSE(grabber.StepKeyFrame(+1)) << "no key frame after the last";
    EXPECT_EQ(Shown(), 250);
    ASSERT_TRUE(grabber.StepFrame(+1));
    ASSERT_TRUE(grabber.StepKeyFrame(-1));
    EXPECT_EQ(Shown(), 250);
    ASSERT_TRUE(grabber.StepKeyFrame(-1));
    EXPECT_EQ(Shown(), 0);

    // Moving while playing: the clock goes on from the frame moved to.
    EXPECT_EQ(grabber.bPaused, 1);
    doc.OnPlayPause();
    ASSERT_TRUE(grabber.MoveTo(100 * kSecond / 30));
    EXPECT_EQ(Shown(), 100);
    clock.Advance(kSecond / 3);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(Shown(), 110);

    // A conversion owns the position.
    AppState.bConverting = 1;
    EXPECT_FALSE(grabber.StepFrame(+1));
    EXPECT_FALSE(grabber.MoveTo(0));
    AppState.bConverting = 0;
    doc.OnPlayStop();

    // An index of decoding times, each frame shown a frame after its time there.
    Play(testmedia::IndexedClip(kKinds[4].recipe));
    for (const int nKey : {12, 24}) {
        ASSERT_TRUE(grabber.StepKeyFrame(+1));
        EXPECT_EQ(Shown(), nKey);
    }
    ASSERT_TRUE(grabber.StepFrame(+1));
    ASSERT_TRUE(grabber.StepKeyFrame(-1));
    EXPECT_EQ(Shown(), 24);
}

// Paused, the frames passed over stay decoded: stepping back through them decodes nothing and
// shows each exactly; playing on lets them go.
TEST_F(FrameMovesTest, SteppingBackWhilePausedTakesTheFramesPassedOver) {
    Play(testmedia::IndexedClip(kKinds[0].recipe));
    doc.OnPlayPause();
    ASSERT_TRUE(grabber.MoveTo(200 * kSecond / 30));
    ASSERT_EQ(Shown(), 200);
    const int64_t llSeeks = grabber.pGraph->SeekCount();
    const int64_t llDecoded = grabber.pGraph->DecodedFrameCount();
    for (int i = 199; i >= 150; --i) {
        ASSERT_TRUE(grabber.StepFrame(-1));
        ASSERT_EQ(Shown(), i);
    }
    EXPECT_EQ(grabber.pGraph->SeekCount(), llSeeks);
    EXPECT_LE(grabber.pGraph->DecodedFrameCount(), llDecoded + 1);
    EXPECT_GT(grabber.pGraph->FramesBehindBytes(), 0U);

    doc.OnPlayPause();
    EXPECT_EQ(grabber.pGraph->FramesBehindBytes(), 0U) << "playing goes forward only";
}

// A dragged handle: frames decoded already are shown exactly; ahead within a GOP the picture
// decodes on a few frames at a time towards the handle, never past it; beyond a key frame,
// the key frame; the release settles exactly.
TEST_F(FrameMovesTest, ADraggedHandleShowsWhatIsQuickToReach) {
    Play(testmedia::IndexedClip(kKinds[0].recipe));
    doc.OnPlayPause();
    auto at = [](int nFrame) { return nFrame * kSecond / 30; };
    const int nStep = CFrameGrabber::kDragFrames;

    ASSERT_TRUE(grabber.MoveNear(at(100)));
    EXPECT_EQ(Shown(), nStep);
    ASSERT_TRUE(grabber.MoveNear(at(100)));
    EXPECT_EQ(Shown(), 2 * nStep);
    ASSERT_TRUE(grabber.MoveNear(at(2 * nStep + 3)));
    EXPECT_EQ(Shown(), 2 * nStep + 3);
    ASSERT_TRUE(grabber.MoveNear(at(5)));
    EXPECT_EQ(Shown(), 5) << "passed over, still decoded";

    // The key frame is found by its showing time (MP4's index has its decoding time): it is
    // decoded first after the seek, not after the GOP before it.
    const int64_t llDecoded = grabber.pGraph->DecodedFrameCount();
    ASSERT_TRUE(grabber.MoveNear(at(280)));
    EXPECT_EQ(Shown(), 250);
    EXPECT_LT(grabber.pGraph->DecodedFrameCount() - llDecoded, 10);
    doc.OnPlayPause();  // playing lets the frames behind go
    doc.OnPlayPause();
    ASSERT_TRUE(grabber.MoveNear(at(120)));
    EXPECT_EQ(Shown(), 0);
    ASSERT_TRUE(grabber.MoveTo(at(120)));
    EXPECT_EQ(Shown(), 120);
}

}  // namespace

namespace {

class MarkedRangeTest : public conversiontest::ConversionRunTest {};

TEST_F(MarkedRangeTest, TheKeysMoveAndTheRangeMarkedConvertsExactlyThoseFrames) {
    const std::string strClip = testmedia::IndexedClip(
        {160, 120, 30, 90, "-c:v libx264 -preset ultrafast -g 250 -bf 2", "mp4"});
    ui.answers.push_back(strClip);
    doc.OnFileOpen();
    doc.OnPlaybackTick(1);
    auto shown = [this] {
        return testmedia::ReadIndex(doc.pFrameImage.get() + dib::kPixelOffset, 160, 120);
    };
    auto enabled = [this](cmd::Id nId) {
        fw::CCmdUI cmdUi(nId);
        doc.OnUpdateCmdUI(cmdUi);
        return cmdUi.m_bEnabled;
    };
    doc.OnCmdMsg(cmd::kGoSecondForward);
    EXPECT_EQ(shown(), 30);
    for (int i = 0; i < 3; ++i) {
        doc.OnCmdMsg(cmd::kGoPrevFrame);
    }
    EXPECT_EQ(shown(), 27);
    EXPECT_EQ(grabber.bPaused, 1) << "stepping pauses";
    doc.OnCmdMsg(cmd::kMarkRangeStart);
    EXPECT_EQ(AppState.nRangeMode, 1);
    EXPECT_EQ(AppState.nRangeStart, 27);
    EXPECT_EQ(AppState.nRangeEnd, 90) << "the end as it was";
    doc.OnCmdMsg(cmd::kGoLastFrame);
    EXPECT_EQ(shown(), 89);
    for (int i = 0; i < 30; ++i) {
        doc.OnCmdMsg(cmd::kGoPrevFrame);
    }
    doc.OnCmdMsg(cmd::kGoNextFrame);
    EXPECT_EQ(shown(), 60);
    doc.OnCmdMsg(cmd::kMarkRangeEnd);
    EXPECT_EQ(AppState.nRangeEnd, 60);
    doc.OnCmdMsg(cmd::kGoFirstFrame);
    EXPECT_EQ(shown(), 0);

    // Space: resume, pause; stopped, it plays again.
    doc.OnCmdMsg(cmd::kGoPlayPause);
    EXPECT_EQ(grabber.bPaused, 0);
    doc.OnCmdMsg(cmd::kGoPlayPause);
    EXPECT_EQ(grabber.bPaused, 1);
    doc.OnPlayStop();
    EXPECT_FALSE(enabled(cmd::kGoNextFrame)) << "nothing shown to move from";
    EXPECT_TRUE(enabled(cmd::kGoPlayPause));
    doc.OnCmdMsg(cmd::kGoPlayPause);
    EXPECT_EQ(grabber.bPlaying, 1);
    doc.OnPlayStop();

    // The range marked converts exactly frames 27..60.
    const std::string strDest = Dest("marked-range.avi");
    ui.saveAnswers.push_back(strDest);
    doc.OnFileConvert();
    ASSERT_EQ(AppState.bConverting, 1);
    EXPECT_FALSE(enabled(cmd::kGoPlayPause)) << "the conversion owns the position";
    EXPECT_FALSE(enabled(cmd::kGoNextFrame));
    EXPECT_FALSE(enabled(cmd::kMarkRangeStart));
    for (int i = 0; i < 1000 && AppState.bConverting; ++i) {
        clock.Advance(100'000);
        doc.OnPlaybackTick(1);
    }
    const std::vector<int> frames = testmedia::DecodedIndices(strDest, 160, 120);
    std::vector<int> expected;
    for (int i = 27; i <= 60; ++i) {
        expected.push_back(i);
    }
    EXPECT_EQ(frames, expected);
}

}  // namespace
