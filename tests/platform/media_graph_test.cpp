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

TEST(MediaGraph, RowsAreBottomUpBgrPaddedToFourBytes) {
    // Top half red, bottom half blue, odd width so every row carries padding.
    const std::string strPath = testmedia::MakeClip(
        "halves",
        "-f lavfi -i color=c=blue:s=34x16:r=10 -frames:v 2 "
        "-vf crop=33:16:0:0:exact=1,drawbox=x=0:y=0:w=33:h=8:color=red:t=fill -c:v ffv1",
        "avi");
    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strPath, clock);
    ASSERT_TRUE(pGraph);
    dib::BitmapInfoHeader h;
    ASSERT_TRUE(pGraph->GetConnectedFormat(h));
    ASSERT_EQ(dib::RowBytes24(33), 100u);
    EXPECT_EQ(h.biSizeImage, 100u * 16);

    std::vector<uint8_t> pixels(h.biSizeImage, 0xAB);
    ASSERT_EQ(pGraph->CopyCurrentFrame(pixels.data(), pixels.size() - 1), CopyResult::InvalidArg);
    ASSERT_EQ(pGraph->CopyCurrentFrame(nullptr, pixels.size()), CopyResult::Pointer);
    ASSERT_EQ(pGraph->CopyCurrentFrame(pixels.data(), pixels.size()), CopyResult::Ok);
    const uint8_t* pBottom = pixels.data();
    const uint8_t* pTop = pixels.data() + 15 * 100;
    EXPECT_GT(pBottom[0], 200);  // blue first
    EXPECT_LT(pBottom[2], 60);
    EXPECT_LT(pTop[0], 60);
    EXPECT_GT(pTop[2], 200);  // red last
    EXPECT_GT(pTop[32 * 3 + 2], 200) << "last pixel of a row";
}

// Phone clips say in their display matrix how to turn the picture; every frame comes out
// upright, pixel for pixel what FFmpeg's own (autorotating) decode gives, at the turned size.
// Lossless RGB sources, so that no colour conversion differs between the two.
TEST(MediaGraph, RotatedClipsAreDeliveredUpright) {
    for (const int nRotate : {90, 180, 270}) {
        for (const auto& [strCodec, strExt] : std::vector<std::pair<std::string, std::string>>{
                 {"-c:v libx264rgb -qp 0", "mp4"}, {"-c:v png", "mov"}}) {
            // The tag is kept when the stream is copied (an encoding run drops it).
            const std::string strUpright = testmedia::MakeClip(
                "unrotated", "-f lavfi -i testsrc2=s=64x48:r=10:d=0.3 " + strCodec, strExt);
            const std::string strClip = testmedia::MakeClip(
                "rotated",
                "-i '" + strUpright + "' -c copy -metadata:s:v:0 rotate=" + std::to_string(nRotate),
                strExt);
            ASSERT_FALSE(strClip.empty()) << nRotate << strExt;
            ManualMediaClock clock;
            auto pGraph = MediaGraph::Open(strClip, clock);
            ASSERT_TRUE(pGraph);
            dib::BitmapInfoHeader h;
            ASSERT_TRUE(pGraph->GetConnectedFormat(h));
            const int w = nRotate == 180 ? 64 : 48;
            const int nHeight = nRotate == 180 ? 48 : 64;
            EXPECT_EQ(h.biWidth, w) << nRotate << strExt;
            EXPECT_EQ(h.biHeight, nHeight) << nRotate << strExt;
            const auto reference = testmedia::DecodeAll(strClip, w, nHeight);
            ASSERT_EQ(reference.size(), 3u) << nRotate << strExt;
            pGraph->Run();
            for (int k = 0; k < 3; ++k) {
                clock.Set(k * 1'000'000);
                std::vector<uint8_t> pixels = Buffer(h);
                ASSERT_EQ(pGraph->CopyCurrentFrame(pixels.data(), pixels.size()), CopyResult::Ok);
                int nDiffering = 0;
                for (int y = 0; y < nHeight; ++y) {
                    nDiffering +=
                        std::memcmp(pixels.data() + dib::RowBytes24(w) * (nHeight - 1 - y),
                                    reference[k].data() + static_cast<size_t>(y) * w * 3,
                                    static_cast<size_t>(w) * 3) != 0;
                }
                EXPECT_EQ(nDiffering, 0) << nRotate << " " << strExt << " frame " << k;
            }
        }
    }
}

// Sources tagged BT.709, BT.2020 (a phone's HDR) or full range, 10-bit ones as phones and
// cameras write them, and 4:4:4: the 24-bit frame has the colours FFmpeg's own conversion
// gives, to the level.
TEST(MediaGraph, ColourFormatsMatchFFmpegsConversion) {
    const std::string strSource = "-f lavfi -i gradients=s=64x48:r=10:d=0.3:speed=0.1 ";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bt709",
         "-vf format=yuv420p -colorspace bt709 -color_primaries bt709 -color_trc bt709 "
         "-c:v libx264 -qp 0"},
        {"fullrange", "-vf format=yuvj420p -c:v mjpeg -q:v 1"},
        {"10bit", "-vf format=yuv420p10le -c:v ffv1"},
        {"444", "-vf format=yuv444p -c:v ffv1"},
        {"10bit-709-444", "-vf format=yuv444p10le -colorspace bt709 -c:v ffv1"},
        {"hevc-main10-hlg",
         "-vf format=yuv420p10le -c:v libx265 -x265-params log-level=error -crf 12 -colorspace "
         "bt2020nc -color_primaries bt2020 -color_trc arib-std-b67"},
        {"h264-high10", "-vf format=yuv420p10le -c:v libx264 -crf 12"},
        {"prores-422-10bit", "-vf format=yuv422p10le -c:v prores_ks -profile:v 2"},
    };
    for (const auto& [strName, strArgs] : cases) {
        const std::string strClip =
            testmedia::MakeClip("colours-" + strName, strSource + strArgs, "mkv");
        ASSERT_FALSE(strClip.empty()) << strName;
        ManualMediaClock clock;
        auto pGraph = MediaGraph::Open(strClip, clock);
        ASSERT_TRUE(pGraph) << strName;
        dib::BitmapInfoHeader h;
        ASSERT_TRUE(pGraph->GetConnectedFormat(h));
        std::vector<uint8_t> pixels = Buffer(h);
        ASSERT_EQ(pGraph->CopyCurrentFrame(pixels.data(), pixels.size()), CopyResult::Ok);
        const auto reference = testmedia::DecodeAll(strClip, 64, 48);
        ASSERT_FALSE(reference.empty()) << strName;
        int nWorst = 0;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64 * 3; ++x) {
                const int nOurs = pixels[dib::RowBytes24(64) * (47 - y) + x];
                const int nTheirs = reference[0][static_cast<size_t>(y) * 64 * 3 + x];
                nWorst = std::max(nWorst, std::abs(nOurs - nTheirs));
            }
        }
        EXPECT_EQ(nWorst, 0) << strName;
    }
}

// A WebM recorded live (to a pipe) says its length nowhere: the graph guesses it from the
// file's last packets at once, rather than reporting none until the end is played.
TEST(MediaGraph, ALengthNoHeaderGivesIsGuessedFromTheTail) {
    const std::string strClip = testmedia::IndexedClip({160, 120, 30, 60, "-c:v mpeg4", "avi"});
    const std::string strLive = testmedia::MediaDir() + "/graph-live.webm";
    testmedia::Shell("ffmpeg -v error -y -i '" + strClip + "' -c:v libvpx -b:v 300k -f webm - > '" +
                     strLive + "'");
    ASSERT_EQ(testmedia::Shell("ffprobe -v error -show_entries format=duration -of csv=p=0 '" +
                               strLive + "'"),
              "N/A\n");
    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strLive, clock);
    ASSERT_TRUE(pGraph);
    int64_t llDuration = 0;
    ASSERT_TRUE(pGraph->GetDuration(llDuration));
    EXPECT_NEAR(llDuration, 60 * kUnitsPerFrame30, kUnitsPerFrame30);
}

TEST(MediaGraph, AudioOnlyFileOpensNotConnected) {
    const std::string strPath =
        testmedia::MakeClip("audio-only", "-f lavfi -i sine=d=2 -c:a pcm_s16le", "avi");
    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strPath, clock);
    ASSERT_TRUE(pGraph);
    dib::BitmapInfoHeader h;
    EXPECT_FALSE(pGraph->GetConnectedFormat(h));
    std::vector<uint8_t> pixels(320 * 240 * 3);
    EXPECT_EQ(pGraph->CopyCurrentFrame(pixels.data(), pixels.size()), CopyResult::NotConnected);
    int64_t llDuration = 0;
    pGraph->GetDuration(llDuration);
    EXPECT_NEAR(llDuration, 20'000'000, 500'000);
}

TEST(MediaGraph, FilesThatAreNotMediaFailOrStayUnconnected) {
    namespace fs = std::filesystem;
    ManualMediaClock clock;
    const std::string strDir = testmedia::MediaDir() + "/a-directory.avi";
    fs::create_directories(strDir);
    EXPECT_FALSE(MediaGraph::Open(testmedia::MediaDir() + "/missing.avi", clock));
    EXPECT_FALSE(MediaGraph::Open(strDir, clock));
    EXPECT_FALSE(MediaGraph::Open(testmedia::WriteFile("empty.avi", ""), clock));

    std::string strNoise;
    uint32_t x = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
        x = x * 1103515245 + 12345;
        strNoise.push_back(static_cast<char>(x >> 24));
    }
    auto pNoise = MediaGraph::Open(testmedia::WriteFile("noise.avi", strNoise), clock);
    dib::BitmapInfoHeader h;
    if (pNoise) {
        EXPECT_FALSE(pNoise->GetConnectedFormat(h));
    }
}

// A file cut short (its index lost, its header still counting every frame it was to have)
// plays every frame FFmpeg decodes from it, the last one cut in half included, each exactly
// as FFmpeg decodes it, and ends where they end.
TEST(MediaGraph, TruncatedFileEndsWhereItsFramesEnd) {
    const std::string strFull = testmedia::TruncatableClip();
    std::ifstream in(strFull, std::ios::binary);
    std::string strBytes((std::istreambuf_iterator<char>(in)), {});
    const std::string strPath =
        testmedia::WriteFile("truncated.avi", strBytes.substr(0, strBytes.size() * 6 / 10));
    const auto reference = testmedia::DecodeAll(strPath, 160, 120);
    ASSERT_GT(reference.size(), 80u);
    ASSERT_LT(reference.size(), 120u);

    ManualMediaClock clock;
    auto pGraph = MediaGraph::Open(strPath, clock);
    ASSERT_TRUE(pGraph);
    pGraph->Run();
    dib::BitmapInfoHeader h;
    ASSERT_TRUE(pGraph->GetConnectedFormat(h));
    std::vector<uint8_t> pixels(h.biSizeImage);
    const int nFrames = static_cast<int>(reference.size());
    for (int k = 0; k < nFrames; ++k) {
        clock.Set(k * kUnitsPerFrame30);
        ASSERT_EQ(pGraph->CopyCurrentFrame(pixels.data(), pixels.size()), CopyResult::Ok) << k;
        int nDiffering = 0;
        for (int y = 0; y < 120; ++y) {
            nDiffering +=
                std::memcmp(pixels.data() + dib::RowBytes24(160) * (119 - y),
                            reference[k].data() + static_cast<size_t>(y) * 160 * 3, 160 * 3) != 0;
        }
        ASSERT_EQ(nDiffering, 0) << "frame " << k << " of " << nFrames;
    }
    int64_t llPos = 0;
    int64_t llDuration = 0;
    clock.Set(nFrames * kUnitsPerFrame30);
    pGraph->GetCurrentPosition(llPos);
    pGraph->GetDuration(llDuration);
    EXPECT_NEAR(llDuration, nFrames * kUnitsPerFrame30, nFrames);
    EXPECT_GE(llPos, llDuration) << "the end is reached once the frames run out";
}

}  // namespace
