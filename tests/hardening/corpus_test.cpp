// Broken and hostile inputs, made here at test time, through every way in: open and play to
// the end, --render and --convert. Each must end in a defined outcome, never a crash or a
// hang (ctest's time limit catches those; the sanitizer build catches memory errors).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "cli/convert_command.h"
#include "cli/render_command.h"
#include "convert/avi_writer.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "support/test_media.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void Put32(std::string& s, size_t nOffset, uint32_t nValue) {
    if (nOffset + 4 <= s.size()) {
        std::memcpy(s.data() + nOffset, &nValue, 4);
    }
}

// name -> bytes
std::map<std::string, std::string> MakeCorpus() {
    std::map<std::string, std::string> corpus;
    const std::string strAvi = ReadAll(testmedia::IndexedClip({}));
    const std::string strMpg = ReadAll(
        testmedia::IndexedClip({320, 240, 30, 45, "-c:v mpeg1video -q:v 5 -g 15 -f mpeg", "mpg"}));
    std::mt19937 rng(99);
    corpus["zero.avi"] = "";
    for (const char* pszExt : {"avi", "mpg"}) {
        std::string strNoise(65536, '\0');
        for (char& c : strNoise) {
            c = static_cast<char>(rng());
        }
        corpus[std::string("noise.") + pszExt] = strNoise;
    }
    for (int k = 1; k <= 10; ++k) {
        corpus["cut" + std::to_string(k) + ".avi"] = strAvi.substr(0, strAvi.size() * k / 11);
        corpus["cut" + std::to_string(k) + ".mpg"] = strMpg.substr(0, strMpg.size() * k / 11);
    }
    for (int k = 0; k < 8; ++k) {  // flipped bytes in the headers
        std::string s = strAvi;
        for (size_t i = static_cast<size_t>(k) * 7; i < 512 && i < s.size(); i += 37) {
            s[i] = static_cast<char>(s[i] ^ 0xFF);
        }
        corpus["header" + std::to_string(k) + ".avi"] = s;
    }
    for (int k = 0; k < 3; ++k) {  // flipped bytes in the frame data
        std::string s = strAvi;
        for (size_t i = 1024; i < s.size(); i += 50 + rng() % 100) {
            s[i] = static_cast<char>(s[i] ^ (1 << (rng() % 8)));
        }
        corpus["data" + std::to_string(k) + ".avi"] = s;
        std::string m = strMpg;
        for (size_t i = 2048; i < m.size(); i += 70 + rng() % 100) {
            m[i] = static_cast<char>(m[i] ^ 0x55);
        }
        corpus["data" + std::to_string(k) + ".mpg"] = m;
    }
    // Absurd sizes and lengths in the AVI headers (main header and the stream's format).
    for (auto [w, h] : {std::pair<uint32_t, uint32_t>{65535, 65535}, {0, 0}}) {
        std::string s = strAvi;
        Put32(s, 64, w);
        Put32(s, 68, h);
        Put32(s, 176, w);
        Put32(s, 180, h);
        corpus["size" + std::to_string(w) + ".avi"] = s;
    }
    std::string strLong = strAvi;
    Put32(strLong, 48, 0xFFFFFFFFu);   // total frames
    Put32(strLong, 140, 0x7FFFFFFFu);  // stream length
    corpus["long.avi"] = strLong;
    corpus["a b 'q\" 動画.avi"] = strAvi;
    return corpus;
}

// Opens strPath through the open command and ticks (one frame of clock each) until the timer
// stops or 400 ticks have passed; onTick runs before each tick. Returns what it saw.
struct PlayResult {
    bool bMessage = false;
    bool bOpened = false;
    bool bStillPlaying = false;
};
PlayResult PlayToEnd(const std::string& strPath, const std::function<void(int)>& onTick = {}) {
    testfakes::MediaRig rig;
    rig.ui.answers.push_back(strPath);
    rig.doc.OnFileOpen();
    for (int nTick = 0; nTick < 400 && rig.timers.Running(); ++nTick) {
        if (onTick) {
            onTick(nTick);
        }
        rig.clock.Advance(333'333);
        rig.doc.OnPlaybackTick(1);
    }
    return PlayResult{!rig.ui.messages.empty(), !rig.recent.entries.empty(), rig.timers.Running()};
}

TEST(HostileFiles, EveryWayInEndsInADefinedOutcome) {
    const std::string strDir = testmedia::MediaDir() + "/corpus";
    fs::remove_all(strDir);
    fs::create_directories(strDir);
    std::map<std::string, int> outcomes;
    int nFiles = 0;
    for (const auto& [strName, strBytes] : MakeCorpus()) {
        const std::string strPath = strDir + "/" + strName;
        std::ofstream(strPath, std::ios::binary) << strBytes;
        ++nFiles;

        // Open and play to the end (or 400 ticks).
        const PlayResult played = PlayToEnd(strPath);
        ++outcomes[played.bMessage        ? "play: message"
                   : !played.bOpened      ? "play: refused silently"
                   : played.bStillPlaying ? "play: still playing after 400 ticks"
                                          : "play: played to the end"];
        // --render frame 0 and --convert, each a clean exit code with at most a line or two.
        for (int nWay = 0; nWay < 2; ++nWay) {
            ResetAppState();
            std::ostringstream out;
            std::ostringstream err;
            const std::string strOut = strDir + "/out." + (nWay == 0 ? "bmp" : "avi");
            fs::remove(strOut);
            const int nCode =
                nWay == 0 ? cli::RunRender({strPath, "--frame", "0", strOut}, out, err)
                          : cli::RunConvert({strPath, strOut, "--range", "0", "20"}, out, err);
            const char* pszWay = nWay == 0 ? "render" : "convert";
            if (nCode == 0) {
                ++outcomes[std::string(pszWay) + ": written"];
                EXPECT_TRUE(fs::exists(strOut)) << strName;
                if (nWay == 1) {
                    EXPECT_FALSE(testmedia::Probe(strOut, "nb_read_frames").empty()) << strName;
                }
            } else {
                ++outcomes[std::string(pszWay) + ": refused"];
                EXPECT_NE(err.str().find("quovel --"), std::string::npos)
                    << strName << ": " << err.str();
            }
        }
    }
    ResetAppState();
    std::ostringstream report;
    report << nFiles << " files:";
    for (const auto& [strOutcome, nCount] : outcomes) {
        report << " [" << strOutcome << ": " << nCount << "]";
    }
    std::printf("%s\n", report.str().c_str());
    EXPECT_EQ(outcomes["play: still playing after 400 ticks"], 0) << report.str();
}

// A file that grows while it plays, and one that disappears: playback goes on with what
// can be read and ends.
TEST(HostileFiles, FilesChangingUnderThePlayer) {
    const std::string strAvi = ReadAll(testmedia::IndexedClip({}));
    const std::string strDir = testmedia::MediaDir() + "/changing";
    fs::create_directories(strDir);
    for (int nCase = 0; nCase < 2; ++nCase) {
        const std::string strPath = strDir + (nCase == 0 ? "/growing.avi" : "/vanishing.avi");
        std::ofstream(strPath, std::ios::binary | std::ios::trunc)
            << (nCase == 0 ? strAvi.substr(0, strAvi.size() / 3) : strAvi);
        const PlayResult played = PlayToEnd(strPath, [&](int nTick) {
            if (nTick != 5) {
                return;
            }
            if (nCase == 0) {
                std::ofstream(strPath, std::ios::binary | std::ios::app)
                    << strAvi.substr(strAvi.size() / 3);
            } else {
                fs::remove(strPath);
            }
        });
        EXPECT_FALSE(played.bStillPlaying) << strPath;
    }
    ResetAppState();
}

}  // namespace
