// Sources with a damaged stretch (a bad sector, a download patched together): what FFmpeg
// decodes of them is converted, every frame that did not decode is written as the one before
// it, as a player shows it, and the conversion says how many and where.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "cli/convert_command.h"
#include "support/cli_convert.h"
#include "support/conversion_run_fixture.h"
#include "support/test_media.h"

namespace {

constexpr int kFrames = 600;  // 20 s at 30 a second

// An H.264 clip whose frames carry their index, with half its bytes, from a quarter in,
// overwritten with noise: some 300 frames in a row do not decode.
std::string DamagedClip() {
    const std::string strClean = testmedia::IndexedClip(
        {160, 120, 30, kFrames, "-c:v libx264 -preset ultrafast -g 30 -b:v 800k", "mp4"});
    std::string strBytes = testmedia::ReadFile(strClean);
    uint32_t nNoise = 12345;
    for (size_t i = strBytes.size() / 4; i < strBytes.size() * 3 / 4; ++i) {
        nNoise = nNoise * 1664525u + 1013904223u;
        strBytes[i] = static_cast<char>(nNoise >> 24);
    }
    return testmedia::WriteFile("damaged-middle.mp4", strBytes);
}

// The frames FFmpeg decodes of a source, by number (their times at 30 a second).
std::vector<int> DecodedByFFmpeg(const std::string& strSource) {
    std::istringstream times(testmedia::Shell(
        "ffprobe -v quiet -select_streams v -show_entries frame=best_effort_timestamp_time "
        "-of csv=p=0 '" +
        strSource + "'"));
    std::vector<int> decoded;
    for (std::string strLine; std::getline(times, strLine);) {
        if (!strLine.empty() && strLine[0] != ',') {
            decoded.push_back(static_cast<int>(std::lround(std::stod(strLine) * 30)));
        }
    }
    return decoded;
}

// What a player shows of the source, by FFmpeg's decoding: at each point of the frame grid,
// the last frame decoded that starts there or before.
std::vector<std::vector<uint8_t>> ShownByFFmpeg(const std::string& strSource,
                                                const std::vector<int>& decoded) {
    const auto frames = testmedia::DecodeAll(strSource, 160, 120);
    std::vector<std::vector<uint8_t>> shown;
    if (frames.size() != decoded.size()) {
        return shown;
    }
    size_t next = 0;
    for (int i = 0; i < kFrames; ++i) {
        while (next < decoded.size() && decoded[next] <= i) {
            ++next;
        }
        shown.push_back(frames[next > 0 ? next - 1 : 0]);
    }
    return shown;
}

// "N 個のフレームを…(first 〜 last)" for the frames FFmpeg did not decode.
std::string ReportByFFmpeg(const std::vector<int>& decoded) {
    std::vector<int> lost;
    for (int i = 0; i < kFrames; ++i) {
        if (std::find(decoded.begin(), decoded.end(), i) == decoded.end()) {
            lost.push_back(i);
        }
    }
    auto timeText = [](int nFrame) {
        const int nMs = static_cast<int>(nFrame * 1000LL / 30);
        char sz[32];
        std::snprintf(sz, sizeof(sz), "0:00:%02d.%03d", nMs / 1000, nMs % 1000);
        return std::string(sz);
    };
    return lost.empty()
               ? std::string("nothing lost")
               : std::to_string(lost.size()) + " 個のフレームをデコードできませんでした (" +
                     timeText(lost.front()) + " 〜 " + timeText(lost.back()) + ")";
}

TEST(DamagedSource, AConversionGoesOnPastTheDamageAndSaysWhatItReplaced) {
    const std::string strSource = DamagedClip();
    const std::vector<int> decoded = DecodedByFFmpeg(strSource);
    ASSERT_LT(decoded.size() + 256, static_cast<size_t>(kFrames))
        << "more frames lost than a decoder's errors were once allowed";
    ASSERT_EQ(decoded.back(), kFrames - 1) << "the end decodes again";
    const std::string strReport = ReportByFFmpeg(decoded);
    const auto shown = ShownByFFmpeg(strSource, decoded);
    ASSERT_EQ(shown.size(), static_cast<size_t>(kFrames));

    const std::string strDest = testmedia::MediaDir() + "/damaged-out.avi";
    for (const bool bNoClobber : {false, true}) {
        std::remove(strDest.c_str());
        std::vector<std::string> args = {strSource, strDest, "--codec", "FFV1"};
        if (bNoClobber) {
            args.emplace_back("--no-clobber");
        }
        const testcli::Outcome o = testcli::Convert(args);
        EXPECT_EQ(o.nCode, cli::kExitFramesReplaced) << o.strErr;
        EXPECT_NE(o.strErr.find(strReport), std::string::npos) << o.strErr << strReport;
        const auto written = testmedia::DecodeAll(strDest, 160, 120);
        EXPECT_EQ(written.size(), shown.size());
        EXPECT_TRUE(written == shown) << "no clobber " << bNoClobber;
    }
}

// The window's conversion says it in a message box once the file is complete.
class DamagedSourceWindow : public conversiontest::ConversionRunTest {};

TEST_F(DamagedSourceWindow, TheCompletedConversionSaysWhatItReplaced) {
    const std::string strSource = DamagedClip();
    OpenSource(strSource);
    Convert(Dest("damaged-window.avi"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind(ReportByFFmpeg(DecodedByFFmpeg(strSource)), 0), 0u)
        << ui.messages[0];
    EXPECT_EQ(testmedia::DecodeAll(Dest("damaged-window.avi"), 160, 120).size(),
              static_cast<size_t>(kFrames));
}

}  // namespace
