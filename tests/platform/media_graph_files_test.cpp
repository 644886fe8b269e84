// The media graph and the files it meets: the layout of what it copies, rotation tags,
// colour formats against FFmpeg's own conversion, lengths a header does not give, and files
// that are not video, not media or cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/media_graph.h"
#include "support/test_media.h"

using platform::CopyResult;
using platform::ManualMediaClock;
using platform::MediaGraph;

namespace {

constexpr int64_t kUnitsPerFrame30 = 333'333;  // a frame of 30 a second, in 100 ns units

std::vector<uint8_t> Buffer(const dib::BitmapInfoHeader& h) {
    return std::vector<uint8_t>(h.biSizeImage);
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
