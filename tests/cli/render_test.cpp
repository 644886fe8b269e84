#include "cli/render_command.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "effects/colour_space.h"
#include "platform/dib.h"
#include "state/app_state.h"
#include "support/cli_convert.h"
#include "support/test_media.h"

namespace {

constexpr int kW = 97;  // odd: every BMP row carries a padding byte
constexpr int kH = 40;

std::vector<uint8_t> ReadAll(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

using testcli::Outcome;
using testcli::Render;

class RenderTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Lossless BGR frames, and frame 4 of them as decoded by ffmpeg itself (top row first).
        s_strClip = testmedia::MakeClip(
            "render-src",
            "-f lavfi -i testsrc2=s=" + std::to_string(kW + 1) + "x" + std::to_string(kH) +
                ":r=30 -frames:v 8 -vf crop=" + std::to_string(kW) + ":" + std::to_string(kH) +
                ":0:0:exact=1 -c:v rawvideo -pix_fmt bgr24",
            "avi");
        const std::string strRef =
            testmedia::MakeClip("render-ref",
                                "-i '" + s_strClip +
                                    "' -vf 'select=eq(n\\,4)' -frames:v 1 -f rawvideo "
                                    "-pix_fmt bgr24",
                                "raw");
        s_reference = ReadAll(strRef);
    }

  public:
    // Source pixel (x, y), y counted from the top.
    effects::Bgr Source(int x, int y) const {
        effects::Bgr p;
        std::memcpy(&p, s_reference.data() + (static_cast<size_t>(y) * kW + x) * 3, 3);
        return p;
    }

  protected:
    static std::string s_strClip;
    static std::vector<uint8_t> s_reference;
    // One file per test: the tests run side by side, and some check that nothing is written.
    const std::string m_strOut = testmedia::MediaDir() + "/render-out-" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 ".bmp";
};
std::string RenderTest::s_strClip;
std::vector<uint8_t> RenderTest::s_reference;

TEST_F(RenderTest, WritesTheDisplayBlockPixelByPixel) {
    ASSERT_EQ(s_reference.size(), static_cast<size_t>(kW) * kH * 3);
    struct Case {
        std::vector<std::string> options;
        std::function<effects::Bgr(const RenderTest&, int, int)> expected;
    };
    const int32_t hsv[3] = {40, -20, 10};
    const std::vector<Case> cases = {
        {{}, [](const RenderTest& t, int x, int y) { return t.Source(x, y); }},
        {{"--mode", "5", "--levels", "40,-20,10"},
         [&](const RenderTest& t, int x, int y) {
             effects::Bgr out{};
             effects::ModulateHsv(t.Source(x, y), out, hsv);
             return out;
         }},
        {{"--mode", "6", "--mosaic", "6"},
         [](const RenderTest& t, int x, int y) {
             // Rows count from the bottom in the picture's memory order.
             const int r = kH - 1 - y;
             const int rs = std::min(r / 6 * 6 + 3, kH - 1);
             return t.Source(std::min(x / 6 * 6 + 3, kW - 1), kH - 1 - rs);
         }},
        {{"--mode", "8", "--strobe-count", "3", "--strobe", "3"},
         [](const RenderTest& t, int x, int y) { return t.Source(x, y); }},
        {{"--mode", "9"},
         [](const RenderTest& t, int x, int y) {
             const effects::Bgr s = t.Source(x, y);
             return effects::Bgr{static_cast<uint8_t>(255 - s.b), static_cast<uint8_t>(255 - s.g),
                                 static_cast<uint8_t>(255 - s.r)};
         }},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {s_strClip, "--frame", "4"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(m_strOut);
        const Outcome outcome = Render(args);
        ASSERT_EQ(outcome.nCode, 0) << outcome.strErr;

        const std::vector<uint8_t> bmp = ReadAll(m_strOut);
        const size_t nRow = dib::RowBytes24(kW);
        ASSERT_EQ(bmp.size(), 54 + nRow * kH);
        EXPECT_EQ(bmp[0], 'B');
        dib::BitmapInfoHeader header;
        std::memcpy(&header, bmp.data() + 14, 40);
        EXPECT_EQ(header.biWidth, kW);
        EXPECT_EQ(header.biHeight, kH);
        EXPECT_EQ(header.biBitCount, 24);
        EXPECT_EQ(header.biSizeImage, nRow * kH);
        for (int y = 0; y < kH; ++y) {
            const uint8_t* pRow = bmp.data() + 54 + nRow * static_cast<size_t>(kH - 1 - y);
            for (int x = 0; x < kW; ++x) {
                const effects::Bgr e = c.expected(*this, x, y);
                ASSERT_EQ(std::memcmp(pRow + x * 3, &e, 3), 0)
                    << (c.options.empty() ? "standard" : c.options[1]) << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(RenderTest, RefusesBadRequestsWithOneLine) {
    const std::string strClip = s_strClip;
    const std::vector<std::vector<std::string>> bad = {
        {},
        {strClip, m_strOut},
        {strClip, "--frame", "-1", m_strOut},
        {strClip, "--frame", "x", m_strOut},
        {strClip, "--frame", "1", "--mode", "10", m_strOut},
        {strClip, "--frame", "1", "--mode", "0", "--levels", "1,2,3", m_strOut},
        {strClip, "--frame", "1", "--mode", "3", "--levels", "1,2", m_strOut},
        {strClip, "--frame", "1", "--mode", "3", "--levels", "1,2,300", m_strOut},
        {strClip, "--frame", "1", "--mosaic", "0", m_strOut},
        {strClip, "--frame", "1", "--bogus", "1", m_strOut},
        {strClip, "--frame"},
        {testmedia::MediaDir() + "/missing.avi", "--frame", "0", m_strOut},
        {testmedia::MakeClip("audio-only", "-f lavfi -i sine=d=2 -c:a pcm_s16le", "avi"), "--frame",
         "0", m_strOut},
        {strClip, "--frame", "9", m_strOut},
        {strClip, "--frame", "0", testmedia::MediaDir() + "/no/such/dir/out.bmp"},
    };
    for (const auto& args : bad) {
        std::remove(m_strOut.c_str());
        const Outcome outcome = Render(args);
        std::string strArgs;
        for (const auto& a : args) {
            strArgs += a + " ";
        }
        EXPECT_NE(outcome.nCode, 0) << strArgs;
        EXPECT_EQ(std::count(outcome.strErr.begin(), outcome.strErr.end(), '\n'), 1) << strArgs;
        EXPECT_FALSE(std::ifstream(m_strOut).good()) << "no output for " << strArgs;
    }
    const Outcome help = Render({"--help"});
    EXPECT_EQ(help.nCode, 0);
    EXPECT_NE(help.strOut.find("--strobe-count"), std::string::npos);
}

TEST_F(RenderTest, StillImagesRenderToo) {
    const std::string strPng = testmedia::MakeClip(
        "still", "-f lavfi -i testsrc2=s=34x22 -vf crop=33:21:0:0:exact=1 -frames:v 1", "png");
    const Outcome outcome = Render({strPng, "--frame", "0", "--mode", "1", m_strOut});
    ASSERT_EQ(outcome.nCode, 0) << outcome.strErr;
    EXPECT_EQ(ReadAll(m_strOut).size(), 54 + dib::RowBytes24(33) * 21);
}

// A 5 s clip at 1 fps has 150 positions of the 30-a-second count, and each shows the frame on
// screen then: position 140 (4.67 s) is frame 4, position 29 still frame 0.
TEST_F(RenderTest, LowRateClipsReachTheirEnd) {
    const std::string strClip =
        testmedia::IndexedClip({160, 120, 1, 5, "-c:v mpeg4 -q:v 2", "avi"});
    for (const auto& [strFrame, nShown] :
         std::vector<std::pair<std::string, int>>{{"140", 4}, {"149", 4}, {"29", 0}, {"30", 1}}) {
        const Outcome outcome = Render({strClip, "--frame", strFrame, m_strOut});
        ASSERT_EQ(outcome.nCode, 0) << strFrame << ": " << outcome.strErr;
        const std::vector<uint8_t> bmp = ReadAll(m_strOut);
        ASSERT_GE(bmp.size(), 54 + dib::RowBytes24(160) * 120);
        EXPECT_EQ(testmedia::ReadIndex(bmp.data() + 54, 160, 120), nShown) << strFrame;
    }
    const Outcome past = Render({strClip, "--frame", "150", m_strOut});
    EXPECT_NE(past.nCode, 0);
    EXPECT_NE(past.strErr.find(": 150 フレーム)"), std::string::npos) << past.strErr;
    // 8 frames at 30 a second, their length a few units short of 8/30 s: frames 0 to 7.
    const Outcome eighth = Render({s_strClip, "--frame", "8", m_strOut});
    EXPECT_NE(eighth.nCode, 0);
    EXPECT_NE(eighth.strErr.find(": 8 フレーム)"), std::string::npos) << eighth.strErr;
    EXPECT_EQ(Render({s_strClip, "--frame", "7", m_strOut}).nCode, 0);
}

// A phone clip recorded sideways renders upright, as FFmpeg shows it.
TEST_F(RenderTest, RotatedClipsRenderUpright) {
    const std::string strUpright = testmedia::MakeClip(
        "unrotated", "-f lavfi -i testsrc2=s=64x48:r=10:d=0.3 -c:v libx264rgb -qp 0", "mp4");
    const std::string strClip = testmedia::MakeClip(
        "rotated", "-i '" + strUpright + "' -c copy -metadata:s:v:0 rotate=90", "mp4");
    const Outcome outcome = Render({strClip, "--frame", "0", m_strOut});
    ASSERT_EQ(outcome.nCode, 0) << outcome.strErr;
    const std::vector<uint8_t> bmp = ReadAll(m_strOut);
    dib::BitmapInfoHeader header;
    ASSERT_GE(bmp.size(), 54u);
    std::memcpy(&header, bmp.data() + 14, sizeof(header));
    EXPECT_EQ(header.biWidth, 48);
    EXPECT_EQ(header.biHeight, 64);
    const auto reference = testmedia::DecodeAll(strClip, 48, 64);
    ASSERT_FALSE(reference.empty());
    ASSERT_EQ(bmp.size(), 54 + dib::RowBytes24(48) * 64);
    for (int y = 0; y < 64; ++y) {
        ASSERT_EQ(std::memcmp(bmp.data() + 54 + dib::RowBytes24(48) * (63 - y),
                              reference[0].data() + static_cast<size_t>(y) * 48 * 3, 48 * 3),
                  0)
            << "row " << y;
    }
}

// What is at DEST decides how it is written: a file is replaced whole and keeps its
// permissions, a link is written through (the link stays), and what is not a file (a FIFO, a
// folder) is refused with the reason. Renders side by side to one DEST never share a working
// file: each leaves a whole BMP.
TEST_F(RenderTest, WritesThroughLinksAndNeverOverWhatIsNotAFile) {
    namespace fs = std::filesystem;
    const std::string strDir = testmedia::MediaDir() + "/render-dests";
    fs::remove_all(strDir);
    fs::create_directories(strDir + "/folder");
    ASSERT_EQ(::mkfifo((strDir + "/fifo").c_str(), 0644), 0);
    const std::string strTarget = testmedia::WriteFile("render-dests/target.bmp", "old");
    fs::create_symlink("target.bmp", strDir + "/link.bmp");
    const std::string strPrivate = testmedia::WriteFile("render-dests/private.bmp", "old");
    fs::permissions(strPrivate, fs::perms::owner_read | fs::perms::owner_write);

    for (const auto& [pszNotAFile, strWhy] : {std::pair{"/fifo", "通常のファイルではありません"},
                                              std::pair{"/folder", "フォルダです"}}) {
        const Outcome o = Render({s_strClip, "--frame", "4", strDir + pszNotAFile});
        EXPECT_EQ(o.nCode, 1) << pszNotAFile;
        EXPECT_EQ(o.strErr, std::string("quovel --render: 静止画ファイルを保存できませんでした (") +
                                strDir + pszNotAFile + ": " + strWhy + ")\n");
    }
    EXPECT_TRUE(fs::is_fifo(strDir + "/fifo"));
    EXPECT_TRUE(fs::is_directory(strDir + "/folder"));

    ASSERT_EQ(Render({s_strClip, "--frame", "4", strDir + "/link.bmp"}).nCode, 0);
    EXPECT_TRUE(fs::is_symlink(strDir + "/link.bmp"));
    EXPECT_EQ(ReadAll(strTarget).size(), dib::kPixelOffset + dib::RowBytes24(kW) * kH);
    ASSERT_EQ(Render({s_strClip, "--frame", "4", strPrivate}).nCode, 0);
    EXPECT_EQ(fs::status(strPrivate).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    const std::string strShared = strDir + "/shared.bmp";
    for (int nPair = 0; nPair < 4; ++nPair) {
        pid_t children[2] = {};
        for (pid_t& child : children) {
            child = fork();
            if (child == 0) {
                _exit(Render({s_strClip, "--frame", "4", strShared}).nCode);
            }
        }
        for (const pid_t child : children) {
            int nStatus = 0;
            waitpid(child, &nStatus, 0);
            EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << "pair " << nPair;
        }
        EXPECT_EQ(ReadAll(strShared).size(), dib::kPixelOffset + dib::RowBytes24(kW) * kH);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(strDir), fs::directory_iterator()), 6)
        << "no working file left";
}

}  // namespace
