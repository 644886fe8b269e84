#include "platform/media_graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "support/test_media.h"

using platform::CopyResult;
using platform::ManualMediaClock;
using platform::MediaGraph;

namespace {

constexpr int64_t kUnitsPerFrame30 = 333'333;

struct Case {
    const char* pszName;
    testmedia::ClipSpec clip;
    friend void PrintTo(const Case& c, std::ostream* pOut) { *pOut << c.pszName; }
};

std::vector<uint8_t> Buffer(const dib::BitmapInfoHeader& h) {
    return std::vector<uint8_t>(h.biSizeImage);
}

int IndexAt(MediaGraph& graph, ManualMediaClock& clock, int64_t llPosition) {
    clock.Set(llPosition);
    dib::BitmapInfoHeader h;
    EXPECT_TRUE(graph.GetConnectedFormat(h));
    std::vector<uint8_t> pixels = Buffer(h);
    EXPECT_EQ(graph.CopyCurrentFrame(pixels.data(), pixels.size()), CopyResult::Ok);
    return testmedia::ReadIndex(pixels.data(), h.biWidth, h.biHeight);
}

class MediaGraphCodecs : public ::testing::TestWithParam<Case> {};

// Every codec family plays the frame due at each position, counted from its first frame
// (an MPEG program stream's start time included), at exact per-frame steps that are
// truncated to whole 100 ns units.
TEST_P(MediaGraphCodecs, DeliversTheFrameDueAtEachPosition) {
    const Case& c = GetParam();
    const std::string strPath = testmedia::IndexedClip(c.clip);
    ASSERT_FALSE(strPath.empty());
    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strPath, clock);
    ASSERT_TRUE(pGraph);

    dib::BitmapInfoHeader h;
    ASSERT_TRUE(pGraph->GetConnectedFormat(h));
    EXPECT_EQ(h.biWidth, c.clip.nWidth);
    EXPECT_EQ(h.biHeight, c.clip.nHeight);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biSizeImage, dib::RowBytes24(c.clip.nWidth) * c.clip.nHeight);

    pGraph->Run();
    const int64_t llFrame = 10'000'000 / c.clip.nRate;
    for (int k = 0; k < c.clip.nFrames; ++k) {
        ASSERT_EQ(IndexAt(*pGraph, clock, k * llFrame), k) << c.pszName << " frame " << k;
    }
    // The end is the last frame's end (an MPEG stream's estimate is checked on the way), and
    // the last truncated step reads as the end.
    int64_t llDuration = 0;
    ASSERT_TRUE(pGraph->GetDuration(llDuration));
    EXPECT_NEAR(llDuration, c.clip.nFrames * 10'000'000LL / c.clip.nRate, 2);
    int64_t llPosition = 0;
    clock.Set(c.clip.nFrames * llFrame);
    ASSERT_TRUE(pGraph->GetCurrentPosition(llPosition));
    ASSERT_TRUE(pGraph->GetDuration(llDuration));
    EXPECT_GE(llPosition, llDuration);

    // Mid-frame positions show the frame that started last, also after a backward seek.
    EXPECT_EQ(IndexAt(*pGraph, clock, 5 * llFrame + llFrame / 3), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Clips, MediaGraphCodecs,
    ::testing::Values(
        Case{"mpeg4-avi", {320, 240, 30, 60, "-c:v mpeg4 -q:v 2 -g 12", "avi"}},
        Case{"mjpeg-avi", {320, 240, 30, 45, "-c:v mjpeg -q:v 3", "avi"}},
        Case{"mpeg1-ps", {320, 240, 30, 45, "-c:v mpeg1video -q:v 5 -g 15 -f mpeg", "mpg"}},
        Case{"h264-mp4-long-gop",
             {320, 240, 30, 90, "-c:v libx264 -preset ultrafast -g 90 -bf 2", "mp4"}},
        Case{"mjpeg-odd-size", {321, 241, 25, 30, "-c:v mjpeg -q:v 3", "avi"}},
        // AVI has no showing times: B-frames are timed by decoding, late.
        Case{"mpeg4-b-frames-avi", {320, 240, 30, 45, "-c:v mpeg4 -q:v 2 -g 12 -bf 2", "avi"}},
        Case{"h264-b-frames-avi",
             {320, 240, 30, 45, "-c:v libx264 -preset ultrafast -g 15 -bf 3", "avi"}}),
    [](const ::testing::TestParamInfo<Case>& param) {
        std::string s = param.param.pszName;
        std::replace(s.begin(), s.end(), '-', '_');
        return s;
    });

TEST(MediaGraph, DecodesForwardAndSeeksOnlyForBackwardOrFarJumps) {
    const std::string strPath = testmedia::IndexedClip(
        {320, 240, 30, 300, "-c:v libx264 -preset ultrafast -g 300 -bf 2", "mp4"});
    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strPath, clock);
    ASSERT_TRUE(pGraph);
    pGraph->Run();

    for (int k = 0; k < 40; ++k) {
        ASSERT_EQ(IndexAt(*pGraph, clock, k * kUnitsPerFrame30), k);
    }
    EXPECT_EQ(pGraph->SeekCount(), 0);
    // One key frame for the whole clip: stepping costs one decode per frame (and the few
    // decoded ahead).
    EXPECT_LE(pGraph->DecodedFrameCount(), 40 + 2 + static_cast<int64_t>(platform::kFramesAhead));

    EXPECT_EQ(IndexAt(*pGraph, clock, 7 * kUnitsPerFrame30), 7);
    EXPECT_EQ(pGraph->SeekCount(), 1);
    EXPECT_EQ(IndexAt(*pGraph, clock, 250 * kUnitsPerFrame30), 250);
    EXPECT_EQ(IndexAt(*pGraph, clock, 251 * kUnitsPerFrame30), 251);
}

// Frames kept behind the one on screen: moving back among them, and forward again, decodes
// nothing and seeks nowhere; they never hold more than their budget, the oldest going first;
// back past them is one seek, exact again; a smaller budget lets go of the oldest at once, and
// a budget of 0 of them all.
TEST(MediaGraph, FramesKeptBehindMakeMovingBackFreeWithinTheirBudget) {
    const std::string strPath = testmedia::IndexedClip(
        {320, 240, 30, 120, "-c:v libx264 -preset ultrafast -g 300 -bf 2", "mp4"});
    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strPath, clock);
    ASSERT_TRUE(pGraph);
    pGraph->Run();
    pGraph->KeepFramesBehind(size_t{1} << 30);
    ASSERT_EQ(IndexAt(*pGraph, clock, 0), 0);
    ASSERT_EQ(IndexAt(*pGraph, clock, kUnitsPerFrame30), 1);
    const size_t nPicture = pGraph->FramesBehindBytes();
    ASSERT_GT(nPicture, size_t{320 * 240});
    pGraph->KeepFramesBehind(10 * nPicture);

    for (int k = 2; k <= 60; ++k) {
        ASSERT_EQ(IndexAt(*pGraph, clock, k * kUnitsPerFrame30), k);
        ASSERT_LE(pGraph->FramesBehindBytes(), 10 * nPicture);
    }
    EXPECT_EQ(pGraph->FramesBehindBytes(), 10 * nPicture);
    EXPECT_TRUE(pGraph->HasFrameAt(50 * kUnitsPerFrame30));
    EXPECT_FALSE(pGraph->HasFrameAt(49 * kUnitsPerFrame30 + kUnitsPerFrame30 / 2));
    for (int k = 59; k >= 50; --k) {
        ASSERT_EQ(IndexAt(*pGraph, clock, k * kUnitsPerFrame30 + kUnitsPerFrame30 / 2), k);
    }
    for (int k = 51; k <= 60; ++k) {
        ASSERT_EQ(IndexAt(*pGraph, clock, k * kUnitsPerFrame30), k);
    }
    // Frames 0 to 60 and those decoded ahead of 60, once each.
    EXPECT_LE(pGraph->DecodedFrameCount(), 61 + static_cast<int64_t>(platform::kFramesAhead));
    EXPECT_EQ(pGraph->SeekCount(), 0);

    for (int k = 59; k >= 45; --k) {
        ASSERT_EQ(IndexAt(*pGraph, clock, k * kUnitsPerFrame30), k);
    }
    EXPECT_EQ(pGraph->SeekCount(), 1) << "frame 49 was no longer kept";
    // A smaller budget lets go of the oldest at once.
    pGraph->KeepFramesBehind(3 * nPicture);
    EXPECT_EQ(pGraph->FramesBehindBytes(), 3 * nPicture);
    EXPECT_TRUE(pGraph->HasFrameAt(42 * kUnitsPerFrame30));
    EXPECT_FALSE(pGraph->HasFrameAt(41 * kUnitsPerFrame30 + kUnitsPerFrame30 / 2));
    pGraph->KeepFramesBehind(0);
    EXPECT_EQ(pGraph->FramesBehindBytes(), 0U);
    EXPECT_FALSE(pGraph->HasFrameAt(44 * kUnitsPerFrame30));
    EXPECT_EQ(IndexAt(*pGraph, clock, 44 * kUnitsPerFrame30), 44);
    EXPECT_EQ(pGraph->SeekCount(), 2);
}

// The frames after the one on screen are decoded on the graph's own thread while the caller
// does other work, so that the next copies find them ready; no more than kFramesAhead, and a
// graph destroyed meanwhile ends its thread. (The wait only bounds a failure; nothing here
// measures speed.)
TEST(MediaGraph, DecodesAheadOnItsOwnThreadAndNoFurther) {
    const std::string strPath = testmedia::IndexedClip({});
    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strPath, clock);
    ASSERT_TRUE(pGraph);
    pGraph->Run();
    ASSERT_EQ(IndexAt(*pGraph, clock, 0), 0);
    const int64_t llWanted = 1 + static_cast<int64_t>(platform::kFramesAhead);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (pGraph->DecodedFrameCount() < llWanted && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(pGraph->DecodedFrameCount(), llWanted)
        << "frame 0 and the frames ahead, no call made";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(pGraph->DecodedFrameCount(), llWanted) << "and then it waits for room";
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(IndexAt(*pGraph, clock, k * kUnitsPerFrame30), k);
    }
    pGraph.reset();  // its thread may be decoding: it is stopped and joined
}

// A graph that makes no copies ahead makes the copy of the frame selected last when asked,
// wherever the position has gone since, byte for byte the copy made ahead (turned pictures
// too); a copy asked for in one call is the frame at the position either way.
TEST(MediaGraph, CopiesMadeWhenAskedForAreThoseMadeAhead) {
    const std::string strPlain = testmedia::IndexedClip(
        {320, 240, 30, 30, "-c:v libx264 -preset ultrafast -g 30 -bf 2", "mp4"});
    const std::string strTurned = testmedia::MakeClip(
        "turned-indexed", "-i '" + strPlain + "' -c copy -metadata:s:v:0 rotate=90", "mp4");
    for (const std::string& strPath : {strPlain, strTurned}) {
        ManualMediaClock clockAhead;
        ManualMediaClock clockAsked;
        auto pAhead = MediaGraph::Open(strPath, clockAhead);
        auto pAsked = MediaGraph::Open(strPath, clockAsked);
        ASSERT_TRUE(pAhead && pAsked) << strPath;
        pAsked->MakeCopiesAhead(false);
        pAhead->Run();
        pAsked->Run();
        dib::BitmapInfoHeader h;
        ASSERT_TRUE(pAsked->GetConnectedFormat(h));
        std::vector<uint8_t> ahead = Buffer(h);
        std::vector<uint8_t> asked = Buffer(h);
        for (const int k : {0, 1, 2, 5, 3, 20}) {
            clockAhead.Set(k * kUnitsPerFrame30);
            ASSERT_EQ(pAhead->CopyCurrentFrame(ahead.data(), ahead.size()), CopyResult::Ok);
            clockAsked.Set(k * kUnitsPerFrame30);
            ASSERT_EQ(pAsked->SelectCurrentFrame(), CopyResult::Ok);
            clockAsked.Set((k + 4) * kUnitsPerFrame30);  // moved on: the selection stays
            ASSERT_EQ(pAsked->CopySelectedFrame(asked.data(), asked.size()), CopyResult::Ok);
            EXPECT_TRUE(ahead == asked) << strPath << " frame " << k;
            if (strPath == strPlain) {
                EXPECT_EQ(testmedia::ReadIndex(asked.data(), h.biWidth, h.biHeight), k);
            }
            ASSERT_EQ(pAsked->CopyCurrentFrame(asked.data(), asked.size()), CopyResult::Ok);
            if (strPath == strPlain) {
                EXPECT_EQ(testmedia::ReadIndex(asked.data(), h.biWidth, h.biHeight), k + 4);
            }
        }
        EXPECT_EQ(pAsked->CopySelectedFrame(nullptr, 0), CopyResult::Pointer);
        EXPECT_EQ(pAsked->CopySelectedFrame(asked.data(), asked.size() - 1),
                  CopyResult::InvalidArg);
    }
}

TEST(MediaGraph, PositionFollowsRunPauseStopAndTheStopPosition) {
    const std::string strPath = testmedia::IndexedClip({});
    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strPath, clock);
    ASSERT_TRUE(pGraph);
    int64_t llPos = -1;

    clock.Set(1'000'000);
    ASSERT_TRUE(pGraph->GetCurrentPosition(llPos));
    EXPECT_EQ(llPos, 0) << "a stopped graph does not move";
    pGraph->Run();
    clock.Advance(4'000'000);
    pGraph->GetCurrentPosition(llPos);
    EXPECT_EQ(llPos, 4'000'000);
    pGraph->Pause();
    clock.Advance(5'000'000);
    pGraph->GetCurrentPosition(llPos);
    EXPECT_EQ(llPos, 4'000'000);
    pGraph->Run();
    clock.Advance(1'000'000);
    pGraph->GetCurrentPosition(llPos);
    EXPECT_EQ(llPos, 5'000'000);

    // Current and stop at one frame: the graph holds that frame whatever the clock does.
    const int64_t llTarget = 17 * kUnitsPerFrame30;
    pGraph->Stop();
    pGraph->SetPositions(&llTarget, &llTarget);
    pGraph->Run();
    clock.Advance(30'000'000);
    EXPECT_EQ(IndexAt(*pGraph, clock, clock.Now()), 17);

    // Positions beyond the end clamp to the duration.
    const int64_t llFar = 1'000'000'000;
    int64_t llDuration = 0;
    pGraph->GetDuration(llDuration);
    pGraph->SetPositions(&llFar, &llFar);
    pGraph->GetCurrentPosition(llPos);
    EXPECT_EQ(llPos, llDuration);
}

}  // namespace
