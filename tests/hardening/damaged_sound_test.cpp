// Sound that changes format on the way (two recordings joined) or is damaged: decoded, it is
// kept whole and in step, a packet that does not decode becoming silence of its length;
// copied as it is, what the stream cannot play is left out with a word, never the whole
// conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "cli/convert_command.h"
#include "support/cli_convert.h"
#include "support/test_media.h"

namespace {

using testcli::Convert;
using testcli::Outcome;
using testmedia::ToneStarts;

// 10 s of picture; its sound has a 10 ms tone at each second and a half.
const char* const kTones =
    "\"aevalsrc='if(between(mod(t,1),0.5,0.51),0.8*sin(2*PI*1000*t),0)':s=%d:c=%s:d=5\"";

std::string TonePart(const std::string& strName, int nRate, const char* pszLayout,
                     const std::string& strAudio, const std::string& strOffset) {
    char szTones[256];
    std::snprintf(szTones, sizeof(szTones), kTones, nRate, pszLayout);
    return testmedia::MakeClip(strName,
                               "-f lavfi -i testsrc2=s=160x120:r=30:d=5 -f lavfi -i " +
                                   std::string(szTones) + " -c:v mpeg2video -q:v 5 " + strAudio +
                                   " -output_ts_offset " + strOffset,
                               "ts");
}

// Two transport stream recordings of 5 s one after the other, as a capture split in parts
// and joined: the second's sound at another rate (and, for AAC, other channels).
std::string JoinedParts(const std::string& strAudio, const char* pszSecondLayout) {
    const std::string strFirst = TonePart("joined-a", 48000, "stereo", strAudio, "0");
    const std::string strSecond = TonePart("joined-b", 44100, pszSecondLayout, strAudio, "5");
    return testmedia::WriteFile("joined-" + strAudio.substr(5, 3) + ".ts",
                                testmedia::ReadFile(strFirst) + testmedia::ReadFile(strSecond));
}

// An AVI with MP3 sound, its MP3 frames changed: one header claiming 48 kHz, or every fourth
// frame's sync word gone.
std::string DamagedMp3(bool bNoise) {
    const std::string strClean = testmedia::MakeClip(
        "mp3-tones",
        "-f lavfi -i testsrc2=s=160x120:r=30:d=10 -f lavfi -i \"aevalsrc='if(between(mod(t,1),"
        "0.5,0.51),0.8*sin(2*PI*1000*t),0)':s=44100:d=10\" -c:v mpeg4 -q:v 5 -c:a libmp3lame",
        "avi");
    std::string strBytes = testmedia::ReadFile(strClean);
    // The MP3 frames begin the sound's chunks ("01wb", its size, then the frame).
    struct Frame {
        size_t nAt;
        size_t nBytes;
    };
    std::vector<Frame> frames;
    for (size_t i = strBytes.find("01wb"); i != std::string::npos && i + 12 < strBytes.size();
         i = strBytes.find("01wb", i + 4)) {
        size_t nSize = 0;
        std::memcpy(&nSize, strBytes.data() + i + 4, 4);
        if (static_cast<uint8_t>(strBytes[i + 8]) == 0xFF && nSize > 8 &&
            i + 8 + nSize <= strBytes.size()) {
            frames.push_back({i + 8, nSize});
        }
    }
    if (frames.size() < 100) {
        return {};
    }
    for (size_t k = 0; k < frames.size(); ++k) {
        char* pFrame = strBytes.data() + frames[k].nAt;
        if (!bNoise && k == frames.size() * 4 / 10) {
            pFrame[2] = static_cast<char>((pFrame[2] & ~0x0C) | 0x04);
        }
        if (bNoise && k % 4 == 1) {
            std::memset(pFrame, 0, 2);  // no sync: the decoder cannot find the frame
        }
    }
    return testmedia::WriteFile(bNoise ? "mp3-noise.avi" : "mp3-header.avi", strBytes);
}

double SoundSeconds(const std::string& strPath) {
    return static_cast<double>(testmedia::DecodeSound(strPath).size()) / 44100;
}

// Every tone of `want` is in `got`, as far from the first tone within 5 ms: the sound is in
// step across a change, whatever constant delay an encoder or a container adds.
bool HasTones(const std::vector<double>& got, const std::vector<double>& want) {
    if (got.empty() || want.empty()) {
        return got.empty() && want.empty();
    }
    for (const double dWant : want) {
        if (std::none_of(got.begin(), got.end(), [&](double dGot) {
                return std::abs((dGot - got.front()) - (dWant - want.front())) < 0.005;
            })) {
            return false;
        }
    }
    return true;
}

TEST(DamagedSound, DecodedSoundIsKeptWholeAndInStep) {
    const std::string strDest = testmedia::MediaDir() + "/damaged-sound.avi";
    struct Case {
        std::string strSource;
        bool bTones;  // FFmpeg's own decoding has every tone, to compare with
    };
    const Case cases[] = {
        {JoinedParts("-c:a mp2 -b:a 192k", "stereo"), true},
        {JoinedParts("-c:a aac -b:a 192k", "5.1"), true},
        {DamagedMp3(false), true},
        {DamagedMp3(true), false},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.strSource.empty());
        const std::vector<double> reference = ToneStarts(testmedia::DecodeSound(c.strSource));
        ASSERT_TRUE(!c.bTones || reference.size() == 10) << c.strSource;
        for (const char* pszMode : {"mp3", "pcm"}) {
            const Outcome o =
                Convert({c.strSource, strDest, "--codec", "MJPG", "--audio", pszMode});
            ASSERT_EQ(o.nCode, 0) << c.strSource << " " << pszMode << o.strErr;
            EXPECT_NEAR(SoundSeconds(strDest), 10.0, 0.1) << c.strSource << " " << pszMode;
            const std::vector<double> tones = ToneStarts(testmedia::DecodeSound(strDest));
            // (Lost frames garble an MP3's next ones, by its bit reservoir: FFmpeg's own
            // decoding of that source is no reference for the tones, only for the length.)
            EXPECT_TRUE(!c.bTones || HasTones(tones, reference)) << c.strSource << " " << pszMode;
        }
    }
}

// Copied as it is, packets of the joined part's other rate are left out (they would play at
// the wrong speed), and so is a frame whose header is damaged; the conversion says so and
// ends with status 4. Nothing stops the picture.
TEST(DamagedSound, ACopyLeavesOutWhatTheStreamCannotPlayAndSaysSo) {
    const std::string strDest = testmedia::MediaDir() + "/damaged-sound-copy.avi";
    const std::string strJoined = JoinedParts("-c:a mp2 -b:a 192k", "stereo");
    const Outcome joined = Convert({strJoined, strDest, "--codec", "MJPG", "--audio", "copy"});
    EXPECT_EQ(joined.nCode, cli::kExitFramesReplaced) << joined.strErr;
    EXPECT_NE(joined.strErr.find("そのままでは書き込めない音声 5.0 秒分"), std::string::npos)
        << joined.strErr;
    EXPECT_GE(std::stoi(testmedia::Probe(strDest, "nb_read_frames")), 299) << "not cut short";
    const std::vector<double> tones = ToneStarts(testmedia::DecodeSound(strDest));
    EXPECT_EQ(tones.size(), 5u) << "the first part as it was";
    EXPECT_TRUE(HasTones(tones, {0.5, 1.5, 2.5, 3.5, 4.5}));

    const Outcome header =
        Convert({DamagedMp3(false), strDest, "--codec", "MJPG", "--audio", "copy"});
    EXPECT_EQ(header.nCode, cli::kExitFramesReplaced) << header.strErr;
    EXPECT_GE(std::stoi(testmedia::Probe(strDest, "nb_read_frames")), 299) << "not cut short";
    EXPECT_NEAR(SoundSeconds(strDest), 10.0, 0.2);
}

}  // namespace
