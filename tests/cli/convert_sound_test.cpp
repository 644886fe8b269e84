// The converted file's sound: the range it covers, its speed, its length against the
// picture's, and what independent readers make of it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "support/cli_convert.h"
#include "support/test_media.h"

namespace {

constexpr int kRate = 44100;

using testcli::Convert;
using testcli::Outcome;

// A 4 s clip, 30 frames a second, whose sound is silent but for a 10 ms tone starting at
// 0.5, 1.5, 2.5 and 3.5 s; its sound in the codec given.
std::string ClickClip(const std::string& strAudioArgs, const std::string& strExt) {
    return testmedia::MakeClip(
        "clicks",
        "-f lavfi -i testsrc2=s=160x120:r=30:d=4 -f lavfi -i \"aevalsrc='if(between(mod(t,1),"
        "0.5,0.51),0.8*sin(2*PI*1000*t),0)':s=44100:d=4\" -c:v mpeg4 -q:v 5 " +
            strAudioArgs,
        strExt);
}

// The same 4 s picture with a 3.5 s sound that starts 0.5 s after it (tones at 1, 2, 3 s).
std::string LateClip(const std::string& strAudioArgs, const std::string& strExt) {
    return testmedia::MakeClip(
        "late-sound",
        "-f lavfi -i testsrc2=s=160x120:r=30:d=4 -itsoffset 0.5 -f lavfi -i \"aevalsrc='if("
        "between(mod(t,1),0.5,0.51),0.8*sin(2*PI*1000*t),0)':s=44100:d=3.5\" -map 0:v -map 1:a "
        "-c:v mpeg4 -q:v 5 " +
            strAudioArgs,
        strExt);
}

using testmedia::ToneStarts;

double Seconds(const std::string& strPath, const char* pszStream) {
    return std::atof(testmedia::Shell("ffprobe -v error -select_streams " + std::string(pszStream) +
                                      " -show_entries stream=duration -of csv=p=0 '" + strPath +
                                      "'")
                         .c_str());
}

// The sound covers exactly the frames written: it starts with the range's first frame, plays
// at the speed the picture is written at (stretched, pitch kept, when the rate changes), and
// ends with the picture, whether it is re-encoded, left uncompressed or copied.
TEST(ConvertSound, FollowsTheRangeTheSpeedAndTheLengthOfThePicture) {
    const std::string strAac = ClickClip("-c:a aac -b:a 128k", "mp4");
    const std::string strPcm = ClickClip("-c:a pcm_s16le", "avi");
    ASSERT_FALSE(strAac.empty());
    ASSERT_FALSE(strPcm.empty());
    const std::string strLate = LateClip("-c:a aac", "mp4");
    const std::string strLatePcm = LateClip("-c:a pcm_s16le", "mkv");
    ASSERT_FALSE(strLate.empty());
    ASSERT_FALSE(strLatePcm.empty());
    const std::string strDest = testmedia::MediaDir() + "/sound-out.avi";
    struct Case {
        std::string strSource;
        std::vector<std::string> options;
        std::string strCodec;       // of the written sound
        std::vector<double> tones;  // where the tones are in the output
    };
    const std::vector<Case> cases = {
        // Frames 30..119 (1 s to 4 s): the tones at 1.5, 2.5 and 3.5 s come 1 s earlier.
        {strAac, {"--range", "30", "119", "--audio", "mp3"}, "mp3", {0.5, 1.5, 2.5}},
        {strAac, {"--range", "30", "119", "--audio", "pcm"}, "pcm_s16le", {0.5, 1.5, 2.5}},
        {strPcm, {"--range", "30", "119"}, "pcm_s16le", {0.5, 1.5, 2.5}},  // kept: copied
        // 30 frames a second written as 15: twice as long, the sound slowed to match.
        {strAac, {"--dst-rate", "15", "--audio", "pcm"}, "pcm_s16le", {1.0, 3.0, 5.0, 7.0}},
        // One frame in two written at 15 a second: the speed it was recorded at.
        {strAac, {"--dst-rate", "15", "--thinning", "2"}, "mp3", {0.5, 1.5, 2.5, 3.5}},
        // A sound that starts 0.5 s after the picture keeps its place (silence before it),
        // also when it could otherwise be copied; copied when it already plays at the start.
        {strLate, {"--audio", "pcm"}, "pcm_s16le", {1.0, 2.0, 3.0}},
        {strLatePcm, {}, "mp3", {1.0, 2.0, 3.0}},
        {strLatePcm, {"--range", "45", "119"}, "pcm_s16le", {0.5, 1.5}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {c.strSource, strDest, "--codec", "MJPG"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome o = Convert(args);
        std::string strWhat;
        for (const std::string& a : c.options) {
            strWhat += a + " ";
        }
        ASSERT_EQ(o.nCode, 0) << strWhat << o.strErr;
        EXPECT_EQ(testmedia::Shell("ffprobe -v error -select_streams a -show_entries "
                                   "stream=codec_name -of csv=p=0 '" +
                                   strDest + "'"),
                  c.strCodec + "\n")
            << strWhat;
        const std::vector<double> tones = ToneStarts(testmedia::DecodeSound(strDest));
        ASSERT_EQ(tones.size(), c.tones.size()) << strWhat;
        for (size_t i = 0; i < tones.size(); ++i) {
            EXPECT_NEAR(tones[i], c.tones[i], 0.020) << strWhat << "tone " << i;
        }
        // A reader that is not FFmpeg finds both tracks and plays the file to its end.
        const std::string strGst = testmedia::Shell("gst-discoverer-1.0 '" + strDest + "'");
        EXPECT_NE(strGst.find("audio #"), std::string::npos) << strWhat << strGst;
        EXPECT_NE(strGst.find("video #"), std::string::npos) << strWhat << strGst;
        EXPECT_EQ(std::system(("gst-launch-1.0 -q filesrc location='" + strDest +
                               "' ! decodebin name=d d. ! queue ! fakesink d. ! queue ! fakesink"
                               " >/dev/null 2>&1")
                                  .c_str()),
                  0)
            << strWhat;
        // As long as the picture, within one audio frame (an MP3 frame is 1152 samples).
        const double dPicture = Seconds(strDest, "v");
        const double dSound = static_cast<double>(testmedia::DecodeSound(strDest).size()) / kRate;
        EXPECT_NEAR(dSound, dPicture, 1152.0 / kRate) << strWhat;
        EXPECT_LE(dSound, dPicture + 1152.0 / kRate) << strWhat;
    }
}

// AVI files as cameras and old encoders write them: MPEG-4 with B-frames (timed by decoding,
// a frame late) and MP3, PCM or MP2 sound, probed before it can be read; and MP4 with MP3,
// whose edit list skips the encoder's priming. The whole sound is written, where FFmpeg's own
// decode of the source has it: from the first tone at 0.3 s, in the whole file and in a
// range; every frame FFmpeg decodes is written.
TEST(ConvertSound, SourcesKeepAllTheirSoundInStep) {
    struct Source {
        const char* pszAudio;
        const char* pszExt;
        double dPacketSeconds;  // of a copied packet, which plays whole
    };
    const std::vector<Source> sources = {{"-c:a libmp3lame -b:a 128k", "avi", 1152.0 / kRate},
                                         {"-c:a pcm_s16le", "avi", 1024.0 / kRate},
                                         {"-c:a mp2 -b:a 192k", "avi", 1152.0 / kRate},
                                         {"-c:a libmp3lame -b:a 128k", "mp4", 1152.0 / kRate}};
    const std::string strDest = testmedia::MediaDir() + "/sound-avi-out.avi";
    for (const Source& source : sources) {
        const std::string strSource = testmedia::MakeClip(
            "avi-sound",
            "-f lavfi -i testsrc2=s=160x120:r=30:d=4 -f lavfi -i \"aevalsrc='if(between(mod(t,1),"
            "0.3,0.31),0.8*sin(2*PI*1000*t),0)':s=44100:d=4\" -c:v mpeg4 -bf 2 -q:v 5 " +
                std::string(source.pszAudio),
            source.pszExt);
        ASSERT_FALSE(strSource.empty()) << source.pszAudio;
        const std::vector<double> reference = ToneStarts(testmedia::DecodeSound(strSource));
        ASSERT_EQ(reference.size(), 4U) << source.pszAudio;
        const std::string strFrames = testmedia::Probe(strSource, "nb_read_frames");
        struct Run {
            std::vector<std::string> options;
            double dStart;  // seconds of the source before the output's first frame
            double dEnd;
            bool bCopied;
        };
        const std::vector<Run> runs = {
            {{}, 0.0, 4.0, true},
            {{"--audio", "pcm"}, 0.0, 4.0, false},
            {{"--range", "15", "59"}, 0.5, 2.0, true},
            {{"--range", "15", "59", "--audio", "pcm"}, 0.5, 2.0, false}};
        for (const Run& run : runs) {
            std::vector<std::string> args = {strSource, strDest, "--codec", "MJPG"};
            args.insert(args.end(), run.options.begin(), run.options.end());
            std::string strWhat = std::string(source.pszExt) + " " + source.pszAudio;
            for (const std::string& strOption : run.options) {
                strWhat += " " + strOption;
            }
            ASSERT_EQ(Convert(args).nCode, 0) << strWhat;
            if (run.dStart == 0) {
                EXPECT_EQ(testmedia::Probe(strDest, "nb_read_frames"), strFrames) << strWhat;
            }
            std::vector<double> expected;
            for (const double dTone : reference) {
                if (dTone >= run.dStart && dTone < run.dEnd) {
                    expected.push_back(dTone - run.dStart);
                }
            }
            const std::vector<double> tones = ToneStarts(testmedia::DecodeSound(strDest));
            ASSERT_EQ(tones.size(), expected.size()) << strWhat;
            // A copy starts with the packet whose start is nearest the range's (the whole
            // file's first starts 47 samples after MP4's priming); a decoded sound is exact
            // to a few samples (an MP3 decoder started mid-stream settles within a few).
            const double dOff = run.bCopied && run.dStart > 0 ? source.dPacketSeconds / 2 : 0.0;
            for (size_t i = 0; i < tones.size(); ++i) {
                EXPECT_NEAR(tones[i], expected[i], dOff + 0.005) << strWhat << " tone " << i;
            }
        }
    }
}

}  // namespace
