// What `quovel --convert` and `quovel --render` say when they fail: one line, in Japanese, that
// names the file and the reason (the system's or FFmpeg's words as they come); and a picture
// too large to decode within memory is refused before it is decoded.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <sstream>

#include "state/app_state.h"
#include "support/cli_convert.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;

// The lines of strErr that begin with strPrefix (a progress line is no message).
std::vector<std::string> MessageLines(const std::string& strErr, const std::string& strPrefix) {
    std::vector<std::string> lines;
    std::istringstream in(strErr);
    for (std::string strLine; std::getline(in, strLine);) {
        const size_t nAt = strLine.find(strPrefix);  // after a progress line's carriage return
        if (nAt != std::string::npos) {
            lines.push_back(strLine.substr(nAt));
        }
    }
    return lines;
}

std::string Noise(size_t nBytes) {
    std::string strNoise(nBytes, '\0');
    for (size_t i = 0; i < strNoise.size(); ++i) {
        strNoise[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    return strNoise;
}

TEST(FailureMessages, EachFailureIsOneLineNamingTheFileAndWhy) {
    const std::string strDir = testmedia::MediaDir() + "/failure-messages";
    fs::remove_all(strDir);
    fs::create_directories(strDir);
    const std::string strClip = testmedia::IndexedClip({});
    const std::string strNoise = testmedia::WriteFile("failure-messages/noise.avi", Noise(100'000));
    const std::string strMissing = strDir + "/missing.avi";
    const std::string strTone =
        testmedia::MakeClip("audio-only", "-f lavfi -i sine=d=2 -c:a pcm_s16le", "avi");
    const std::string strNoFolder = strDir + "/no/such/folder/out";
    const std::string strOut = strDir + "/out.avi";
    const std::string kOpen = "指定ファイルが開けません (";
    const std::string kWrite = "AVIファイルへの書き込みに失敗しました (";
    const std::string kStill = "静止画ファイルを保存できませんでした (";
    struct Case {
        bool bRender;
        std::vector<std::string> args;
        std::string strSaid;  // after "quovel --convert: " or "quovel --render: "
    };
    const std::vector<Case> cases = {
        {false, {strMissing, strOut}, kOpen + strMissing + ": No such file or directory)"},
        {false,
         {strNoise, strOut},
         kOpen + strNoise + ": Invalid data found when processing input)"},
        {false, {strTone, strOut}, kOpen + strTone + ": 映像がありません)"},
        {false, {strDir, strOut}, kOpen + strDir + ": フォルダです)"},
        {false,
         {strClip, strNoFolder + ".avi"},
         kWrite + strNoFolder + ".avi: No such file or directory)"},
        {true,
         {strMissing, "--frame", "1", strDir + "/a.bmp"},
         kOpen + strMissing + ": No such file or directory)"},
        {true,
         {strNoise, "--frame", "1", strDir + "/a.bmp"},
         kOpen + strNoise + ": Invalid data found when processing input)"},
        {true,
         {strClip, "--frame", "1", strNoFolder + ".bmp"},
         kStill + strNoFolder + ".bmp: No such file or directory)"},
        {true,
         {strClip, "--frame", "100", strDir + "/a.bmp"},
         "フレーム 100 はストリームの終わりより後です (" + strClip + ": 60 フレーム)"},
    };
    for (const Case& c : cases) {
        const std::string strPrefix = c.bRender ? "quovel --render: " : "quovel --convert: ";
        const testcli::Outcome said =
            c.bRender ? testcli::Render(c.args) : testcli::Convert(c.args);
        EXPECT_EQ(said.nCode, 1) << c.strSaid;
        EXPECT_EQ(MessageLines(said.strErr, strPrefix),
                  std::vector<std::string>{strPrefix + c.strSaid})
            << said.strErr;
    }
}

// A write that fails under way (here the file-size limit a batch job may run under; a full
// disk is the same) is said once, with the system's reason, and the conversion ends.
TEST(FailureMessages, AWriteThatFailsUnderWayIsSaidOnceWithItsReason) {
    const std::string strSource =
        testmedia::IndexedClip({320, 240, 30, 120, "-c:v mpeg4 -q:v 2", "avi"});
    const std::string strDest = testmedia::MediaDir() + "/size-limited.avi";
    fs::remove(strDest);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 2'000'000;  // some 8 uncompressed frames
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const testcli::Outcome o = testcli::Convert({strSource, strDest});
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(o.nCode, 1);
    EXPECT_EQ(MessageLines(o.strErr, "quovel --convert: "),
              std::vector<std::string>{"quovel --convert: AVIファイルへの書き込みに失敗しました (" +
                                       strDest + ": File too large)"})
        << o.strErr;
}

// 16384×4100 is more than the 8192×8192 a picture may have: refused with its size, and
// without decoding a frame of it (a frame alone would take some 100 MB, its copies more).
TEST(FailureMessages, APictureTooLargeIsRefusedBeforeItIsDecoded) {
    const std::string strHuge = testmedia::MakeClip(
        "huge-mjpeg", "-f lavfi -i color=c=gray:s=16384x4100:r=1:d=2 -c:v mjpeg -q:v 20", "avi");
    const std::string strOut = testmedia::MediaDir() + "/huge.bmp";
    fs::remove(strOut);
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const testcli::Outcome said = testcli::Render({strHuge, "--frame", "0", strOut});
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(said.nCode, 1);
    EXPECT_EQ(MessageLines(said.strErr, "quovel --render: "),
              std::vector<std::string>{"quovel --render: 指定ファイルが開けません (" + strHuge +
                                       ": 画像が大きすぎます (16384×4100。扱えるのは "
                                       "8192×8192 画素まで))"})
        << said.strErr;
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB more at its peak";
    EXPECT_FALSE(fs::exists(strOut));
}

}  // namespace
