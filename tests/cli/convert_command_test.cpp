#include "cli/convert_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/finished_output.h"
#include "support/cli_convert.h"
#include "support/test_media.h"

namespace {

using testcli::Convert;
using testcli::Outcome;

std::string Probe(const std::string& strPath) {
    return testmedia::Probe(strPath, "codec_tag_string,width,height,r_frame_rate,nb_read_frames") +
           " ";
}

TEST(ConvertCommand, ConvertsWithTheWindowsPipeline) {
    const std::string strSource =
        testmedia::IndexedClip({320, 240, 30, 120, "-c:v mpeg4 -q:v 2", "avi"});
    const std::string strDest = testmedia::MediaDir() + "/cli-out.avi";
    const Outcome o = Convert({strSource, strDest, "--codec", "FFV1", "--range", "30", "90",
                               "--thinning", "2", "--dst-rate", "15"});
    ASSERT_EQ(o.nCode, 0) << o.strErr;
    EXPECT_EQ(Probe(strDest), "FFV1 320 240 15/1 31 ");
    EXPECT_NE(o.strErr.find("00:03:00 / 00:03:00"), std::string::npos) << "the progress text";
    EXPECT_NE(o.strErr.find("fps"), std::string::npos);

    const Outcome dv = Convert({testmedia::IndexedClip({360, 240, 30, 10, "-c:v ffv1", "avi"}),
                                strDest, "--dv-crop", "--codec", "MJPG", "--timer-rate", "100"});
    ASSERT_EQ(dv.nCode, 0) << dv.strErr;
    EXPECT_EQ(Probe(strDest), "MJPG 320 240 30/1 10 ");
}

// Nothing shows the frames of a conversion run from here, so a compressor that takes the
// decoded picture gets no 24-bit copy made at all; one that cannot take it (an RGB
// compressor, a turned picture, the DV crop) asks for the copy of each frame as it writes
// it. Either way every written frame is the one due.
TEST(ConvertCommand, WritesTheFramesDueWhetherOrNotItNeedsTheirCopies) {
    const std::string strSource = testmedia::IndexedClip(
        {320, 240, 30, 40, "-c:v libx264 -preset ultrafast -g 40 -bf 2", "mp4"});
    const std::string strTurned = testmedia::MakeClip(
        "turned-indexed", "-i '" + strSource + "' -c copy -metadata:s:v:0 rotate=180", "mp4");
    const std::string strDv =
        testmedia::IndexedClip({360, 240, 30, 30, "-c:v libx264 -preset ultrafast -bf 2", "mp4"});
    ASSERT_FALSE(strTurned.empty());
    const std::string strDest = testmedia::MediaDir() + "/cli-copies.avi";
    struct Run {
        std::string strSource;
        std::vector<std::string> options;
        // How to read the bands of what was written: turned back, or the cropped columns
        // put back (in black: band 0 is lost, and every frame due has bit 0 clear).
        std::string strFilter;
        int nWidth;
    };
    const std::vector<Run> runs = {
        {strSource, {"--codec", "FMP4", "--quality", "100"}, "", 320},
        {strSource, {"--codec", "DIB "}, "", 320},
        {strTurned, {"--codec", "FMP4", "--quality", "100"}, "hflip,vflip", 320},
        {strDv, {"--codec", "MJPG", "--quality", "100", "--dv-crop"}, "pad=360:240:20:0", 360},
    };
    for (const Run& run : runs) {
        std::vector<std::string> args = {run.strSource, strDest,      "--range", "10",
                                         "21",          "--thinning", "2"};
        args.insert(args.end(), run.options.begin(), run.options.end());
        const Outcome o = Convert(args);
        ASSERT_EQ(o.nCode, 0) << run.options[1] << o.strErr;
        std::string strWritten = strDest;
        if (!run.strFilter.empty()) {
            strWritten = testmedia::MediaDir() + "/cli-copies-read.avi";
            testmedia::Shell("ffmpeg -v error -y -i '" + strDest + "' -vf " + run.strFilter +
                             " -c:v ffv1 '" + strWritten + "'");
        }
        EXPECT_EQ(testmedia::DecodedIndices(strWritten, run.nWidth, 240),
                  (std::vector<int>{10, 12, 14, 16, 18, 20}))  // 10..21, every second one
            << run.options[1] << " " << run.strFilter;
    }
}

// The uncompressed file holds, byte for byte, the frames FFmpeg's own decode gives, and a
// lossless compressor keeps them exactly, whatever the source's matrix, range, width or
// chroma layout. Widths that are not a multiple of 16 carry a white box against the right
// edge, where a row written past its end shows in the row above.
TEST(ConvertCommand, UncompressedAndLosslessFramesAreFFmpegsOwn) {
    const std::string strColours = "-f lavfi -i testsrc2=r=30:d=0.3:s=";
    const std::string strEdgeBox = " -vf drawbox=x=iw-5:y=ih/3:w=5:h=ih/3:c=white:t=fill";
    struct Source {
        std::string strArgs;
        int nWidth;
        int nHeight;
        std::vector<std::string> codecs;
    };
    std::vector<Source> sources = {
        {strColours + "320x240 -c:v libx264 -preset ultrafast -bf 2 -pix_fmt yuv420p"
                      " -colorspace bt709 -color_primaries bt709 -color_trc bt709",
         320,
         240,
         {"FFV1", "HFYU"}},
        {strColours + "320x240 -c:v mpeg4 -q:v 2", 320, 240, {"FFV1", "HFYU"}},
        {strColours + "321x241 -c:v libx264 -preset ultrafast -pix_fmt yuv420p",
         321,
         241,
         {"FFV1"}},
        {strColours + "320x240 -c:v mjpeg -pix_fmt yuvj422p", 320, 240, {"FFV1", "HFYU"}},
        {strColours + "320x240 -c:v libx264 -preset ultrafast -pix_fmt yuv444p"
                      " -colorspace bt709",
         320,
         240,
         {"FFV1"}},
    };
    for (const int nWidth : {200, 426, 854, 1080}) {
        sources.push_back({strColours + std::to_string(nWidth) + "x96" + strEdgeBox +
                               " -c:v libx264 -preset ultrafast -pix_fmt yuv420p",
                           nWidth,
                           96,
                           {"FFV1"}});
    }
    const std::string strDib = testmedia::MediaDir() + "/cli-lossless-dib.avi";
    const std::string strDest = testmedia::MediaDir() + "/cli-lossless.avi";
    for (const Source& source : sources) {
        const std::string strSource = testmedia::MakeClip("lossless", source.strArgs, "avi");
        ASSERT_FALSE(strSource.empty()) << source.strArgs;
        const auto frames = testmedia::DecodeAll(strSource, source.nWidth, source.nHeight);
        ASSERT_GE(frames.size(), 5U) << source.strArgs;
        ASSERT_EQ(Convert({strSource, strDib}).nCode, 0);
        EXPECT_TRUE(testmedia::DecodeAll(strDib, source.nWidth, source.nHeight) == frames)
            << "DIB from " << source.strArgs;
        for (const std::string& strCodec : source.codecs) {
            const Outcome o = Convert({strSource, strDest, "--codec", strCodec});
            ASSERT_EQ(o.nCode, 0) << strCodec << " " << o.strErr;
            EXPECT_TRUE(testmedia::DecodeAll(strDest, source.nWidth, source.nHeight) == frames)
                << strCodec << " from " << source.strArgs;
        }
    }
}

// A file cut short (a download stopped, a camera's card full) converts to the last frame
// FFmpeg decodes from it: its length, a scan's guess, falls short of that.
TEST(ConvertCommand, ATruncatedFileConvertsEveryFrameItHolds) {
    const std::string strFull = testmedia::TruncatableClip();
    std::ifstream in(strFull, std::ios::binary);
    const std::string strBytes((std::istreambuf_iterator<char>(in)), {});
    const std::string strSource =
        testmedia::WriteFile("cli-truncated.avi", strBytes.substr(0, strBytes.size() * 6 / 10));
    const auto frames = testmedia::DecodeAll(strSource, 160, 120);
    ASSERT_GT(frames.size(), 80u);
    const std::string strDest = testmedia::MediaDir() + "/cli-truncated-out.avi";
    ASSERT_EQ(Convert({strSource, strDest}).nCode, 0);
    const auto written = testmedia::DecodeAll(strDest, 160, 120);
    EXPECT_EQ(written.size(), frames.size());
    EXPECT_TRUE(written == frames);
}

// A phone's clip recorded sideways is turned in YUV for a compressor that takes YUV: what is
// written is what the same compressor writes from the upright picture (turned by FFmpeg's
// own autorotation, losslessly), not a picture gone through RGB and back.
TEST(ConvertCommand, TurnedSourcesConvertAsTheirUprightPictures) {
    const std::string strSideways = testmedia::MakeClip(
        "sideways", "-f lavfi -i testsrc2=s=176x240:r=30:d=0.2 -c:v libx264 -qp 0", "mp4");
    const std::string strDest = testmedia::MediaDir() + "/cli-turned.avi";
    const std::string strUprightDest = testmedia::MediaDir() + "/cli-upright.avi";
    for (const int nRotate : {90, 180, 270}) {
        const std::string strTagged = testmedia::MakeClip(
            "sideways-tagged",
            "-i '" + strSideways + "' -c copy -metadata:s:v:0 rotate=" + std::to_string(nRotate),
            "mp4");
        const std::string strUpright = testmedia::MakeClip(
            "sideways-upright", "-i '" + strTagged + "' -c:v libx264 -qp 0", "mp4");
        ASSERT_FALSE(strUpright.empty()) << nRotate;
        const int w = nRotate == 180 ? 176 : 240;
        const int h = nRotate == 180 ? 240 : 176;
        for (const char* pszCodec : {"MJPG", "FMP4"}) {
            ASSERT_EQ(Convert({strTagged, strDest, "--codec", pszCodec, "--quality", "100"}).nCode,
                      0);
            ASSERT_EQ(Convert({strUpright, strUprightDest, "--codec", pszCodec, "--quality", "100"})
                          .nCode,
                      0);
            const auto upright = testmedia::DecodeAll(strUprightDest, w, h);
            ASSERT_EQ(upright.size(), 6u) << nRotate << pszCodec;
            EXPECT_TRUE(testmedia::DecodeAll(strDest, w, h) == upright) << nRotate << pszCodec;
        }
    }
}

TEST(ConvertCommand, RefusesBadRequestsWithOneLine) {
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDest = testmedia::MediaDir() + "/cli-bad.avi";
    const std::vector<std::vector<std::string>> bad = {
        {strSource},
        {strSource, strDest, "--bogus", "1"},
        {strSource, strDest, "--thinning", "4"},
        {strSource, strDest, "--codec", "XXXX"},
        {strSource, strDest, "--codec", "dvsd"},  // not at 320×240
        {strSource, strDest, "--range", "10", "500"},
        {strSource, strDest, "--range", "10"},
        {testmedia::MediaDir() + "/missing.avi", strDest},
        {strSource, testmedia::MediaDir() + "/no/such/dir/out.avi"},
        {strSource, strSource},
    };
    for (const auto& args : bad) {
        std::filesystem::remove(strDest);
        const Outcome o = Convert(args);
        std::string strArgs;
        for (const auto& a : args) {
            strArgs += a + " ";
        }
        EXPECT_NE(o.nCode, 0) << strArgs;
        EXPECT_NE(o.strErr.find("quovel --convert: "), std::string::npos) << strArgs;
        EXPECT_LE(std::count(o.strErr.begin(), o.strErr.end(), '\n'), 2) << strArgs << o.strErr;
        EXPECT_FALSE(std::filesystem::exists(strDest)) << strArgs;
    }
    EXPECT_EQ(Convert({"--help"}).nCode, 0);
}

// --no-clobber, for batch runs and their retries: a name already taken is left alone (exit 3);
// the output appears only complete, and a failed run leaves neither it nor its working file;
// a destination taken while converting is not replaced.
TEST(ConvertCommand, NoClobberNeverReplacesAFileAndLeavesOnlyFinishedOnes) {
    namespace fs = std::filesystem;
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDir = testmedia::MediaDir() + "/no-clobber";
    fs::remove_all(strDir);
    fs::create_directories(strDir);
    const std::string strDest = strDir + "/out.avi";
    auto entries = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(strDir)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    auto contents = [](const std::string& strPath) {
        std::ifstream in(strPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    { std::ofstream(strDest) << "a finished job's output"; }
    const Outcome taken = Convert({strSource, strDest, "--no-clobber"});
    EXPECT_EQ(taken.nCode, cli::kExitDestinationTaken) << taken.strErr;
    EXPECT_NE(taken.strErr.find("(--no-clobber) (" + strDest + ")"), std::string::npos)
        << taken.strErr;
    EXPECT_EQ(contents(strDest), "a finished job's output");
    EXPECT_EQ(entries(), std::vector<std::string>{"out.avi"});

    fs::remove(strDest);
    const Outcome failed = Convert({strSource, strDest, "--no-clobber", "--codec", "dvsd"});
    EXPECT_EQ(failed.nCode, 1) << failed.strErr;
    EXPECT_TRUE(entries().empty()) << "nothing left for a retry to trip over";

    const Outcome done = Convert({strSource, strDest, "--no-clobber", "--codec", "MJPG"});
    ASSERT_EQ(done.nCode, 0) << done.strErr;
    EXPECT_EQ(Probe(strDest), "MJPG 320 240 30/1 60 ");
    EXPECT_EQ(entries(), std::vector<std::string>{"out.avi"});

    // Another run took the name while this one converted: the finished work keeps its
    // working name, the other's file stays.
    const std::string strOther = strDir + "/other.avi";
    {
        cli::FinishedOutput output(strOther, "7");
        { std::ofstream(output.WorkingPath()) << "this run's frames"; }
        { std::ofstream(strOther) << "the other run's frames"; }
        EXPECT_TRUE(output.DestinationTaken());
        EXPECT_FALSE(output.Publish());
    }
    EXPECT_EQ(contents(strOther), "the other run's frames");
    EXPECT_EQ(contents(strOther + ".7.part"), "this run's frames");
}

TEST(ConvertCommand, ListsTheCompressorsForASize) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::RunListCodecs({"--size", "720x480"}, out, err), 0);
    EXPECT_NE(out.str().find("dvsd  DV (dvsd)"), std::string::npos);
    EXPECT_EQ(out.str().rfind("DIB ", 0), 0u);
    EXPECT_NE(cli::RunListCodecs({"--size", "big"}, out, err), 0);
}

// The command line writes the very name it is given, with or without an extension, and
// never over a folder.
TEST(ConvertCommand, WritesTheNameGivenAndRefusesAFolder) {
    const std::string strSource = testmedia::IndexedClip({160, 120, 30, 4, "-c:v ffv1", "avi"});
    const std::string strDir = testmedia::MediaDir() + "/cli-names";
    std::filesystem::remove_all(strDir);
    std::filesystem::create_directories(strDir + "/folder");
    for (const bool bNoClobber : {false, true}) {
        const std::string strPlain = strDir + (bNoClobber ? "/plain-nc" : "/plain");
        std::vector<std::string> args = {strSource, strPlain};
        if (bNoClobber) {
            args.emplace_back("--no-clobber");
        }
        ASSERT_EQ(Convert(args).nCode, 0);
        EXPECT_EQ(Probe(strPlain), "[0][0][0][0] 160 120 30/1 4 ") << bNoClobber;
        EXPECT_FALSE(std::filesystem::exists(strPlain + ".avi"));
    }
    const Outcome folder = Convert({strSource, strDir + "/folder"});
    EXPECT_EQ(folder.nCode, 1);
    EXPECT_NE(folder.strErr.find("/folder: フォルダです)"), std::string::npos) << folder.strErr;
    EXPECT_FALSE(std::filesystem::exists(strDir + "/folder.avi"));
    EXPECT_TRUE(std::filesystem::is_empty(strDir + "/folder"));
}

}  // namespace
