// Conversions of the pictures real files carry: rotation, non-square pixels, start offsets,
// limited and full range, BT.709, and YUV compressors against FFmpeg's own.
#include <gtest/gtest.h>

#include <filesystem>

#include "convert/avi_writer.h"
#include "playback/frame_grabber.h"
#include "state/app_state.h"
#include "support/conversion_run_fixture.h"
#include "support/test_media.h"

namespace fs = std::filesystem;

namespace {

using conversiontest::ConversionRunTest;
using conversiontest::Indices;
using conversiontest::LumaPsnr;
using conversiontest::PixelOf;
using conversiontest::Sequence;
using testmedia::Probe;
using testmedia::Shell;

// A phone clip recorded sideways converts upright: a quarter turn gives the turned frame size
// everywhere, and a half turn is written right side up, also by a compressor that otherwise
// takes the decoded picture as it is.
TEST_F(ConversionRunTest, RotatedSourcesConvertUpright) {
    const std::string strIndexed =
        testmedia::IndexedClip({160, 120, 30, 20, "-c:v mpeg4 -q:v 2", "mp4"});
    for (const int nRotate : {90, 180}) {
        const std::string strClip = testmedia::MakeClip(
            "rotated-indexed",
            "-i '" + strIndexed + "' -c copy -metadata:s:v:0 rotate=" + std::to_string(nRotate),
            "mp4");
        OpenSource(strClip);
        EXPECT_EQ(AppState.nVideoWidth, nRotate == 90 ? 120 : 160);
        EXPECT_EQ(AppState.nVideoHeight, nRotate == 90 ? 160 : 120);
        UseCompressor('F', 'M', 'P', '4', 90);
        const std::string strDest = Dest("rotated-" + std::to_string(nRotate) + ".avi");
        Convert(strDest);
        if (nRotate == 90) {
            EXPECT_EQ(Probe(strDest, "width,height,nb_read_frames"), "120 160 20");
        } else {
            // As FFmpeg shows the source (turned by its display matrix): the bands reversed.
            const std::vector<int> upright = Indices(strClip, 160, 120);
            EXPECT_EQ(upright[1], 512);
            EXPECT_EQ(Indices(strDest, 160, 120), upright) << "right side up";
        }
    }
}

// Non-square pixels (DV, DVD, anamorphic MP4) keep their shape in the converted file, so that
// players show it as the source; a reduced (DV-cropped) picture is a new one and says nothing.
TEST_F(ConversionRunTest, NonSquarePixelsKeepTheirShape) {
    struct Case {
        const char* pszName;
        std::string strArgs;
        const char* pszExt;
        const char* pszCompressor;
        std::string strExpected;
    };
    const std::string strNtsc = "-f lavfi -i testsrc2=s=720x480:r=30000/1001:d=0.2 ";
    const Case cases[] = {
        {"anamorphic-mp4", strNtsc + "-vf setsar=40/33 -c:v mpeg4 -q:v 3", "mp4", "MJPG", "40:33"},
        {"dv", strNtsc + "-vf setsar=32/27 -c:v dvvideo -pix_fmt yuv411p", "avi", "DIB ", "32:27"},
        {"dvd", strNtsc + "-vf setsar=32/27 -c:v mpeg2video -f vob", "mpg", "FMP4", "32:27"},
        {"square", "-f lavfi -i testsrc2=s=320x240:r=30:d=0.2 -c:v mpeg4", "avi", "FMP4", "1:1"},
    };
    for (const Case& c : cases) {
        const std::string strClip =
            testmedia::MakeClip(std::string("sar-") + c.pszName, c.strArgs, c.pszExt);
        ASSERT_FALSE(strClip.empty()) << c.pszName;
        OpenSource(strClip);
        UseCompressor(c.pszCompressor[0], c.pszCompressor[1], c.pszCompressor[2],
                      c.pszCompressor[3], 80);
        const std::string strDest = Dest(std::string("sar-") + c.pszName + ".avi");
        Convert(strDest);
        const std::string strSar = Probe(strDest, "sample_aspect_ratio");
        EXPECT_TRUE(strSar == c.strExpected || (c.strExpected == "1:1" && strSar == "N/A"))
            << c.pszName << ": " << strSar;
        if (c.strExpected != "1:1") {
            // Readers that are not FFmpeg see the same shape.
            std::string strFraction = c.strExpected;
            strFraction[strFraction.find(':')] = '/';
            EXPECT_NE(Shell("gst-discoverer-1.0 -v '" + strDest + "' 2>&1")
                          .find("pixel-aspect-ratio=(fraction)" + strFraction),
                      std::string::npos)
                << c.pszName << ": GStreamer";
            const std::string strMediainfo =
                Shell("mediainfo --Inform='Video;%Width%x%Height% %DisplayAspectRatio%' '" +
                      strDest + "'");
            const double dDisplay = 720.0 * std::stod(c.strExpected) /
                                    std::stod(c.strExpected.substr(c.strExpected.find(':') + 1)) /
                                    480.0;
            EXPECT_NEAR(std::stod(strMediainfo.substr(strMediainfo.find(' ') + 1)), dDisplay, 0.01)
                << c.pszName << ": mediainfo " << strMediainfo;
        }
    }
    OpenSource(testmedia::MakeClip(
        "sar-dv360", "-f lavfi -i testsrc2=s=360x240:r=30:d=0.2 -vf setsar=10/11 -c:v mpeg4",
        "avi"));
    editor.edit = [](ConvertSettings& settings) { settings.bDvCrop = 1; };
    Convert(Dest("sar-dv-cropped.avi"));
    const std::string strCropped = Probe(Dest("sar-dv-cropped.avi"), "width,sample_aspect_ratio");
    EXPECT_TRUE(strCropped == "320 N/A" || strCropped == "320 1:1") << strCropped;
}

// What real files carry around the frames: a transport stream that starts 10 s in, an edit
// list, sound that runs on after the picture, a stream with no duration in any header, a
// single frame. The whole conversion at 30 a second is the frames as FFmpeg decodes them,
// one for one, from the first shown to the last.
TEST_F(ConversionRunTest, StartOffsetsLongSoundNoDurationAndSingleFrames) {
    const std::string strMpeg2 =
        testmedia::IndexedClip({160, 120, 30, 45, "-c:v mpeg2video -q:v 2 -g 15", "mpg"});
    const std::string strH264 =
        testmedia::IndexedClip({160, 120, 30, 45, "-c:v libx264 -preset ultrafast -g 15", "mp4"});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ts-offset",
         testmedia::MakeClip("late-start",
                             "-i '" + strMpeg2 + "' -c copy -output_ts_offset 10 -f mpegts", "ts")},
        {"edit-list",
         testmedia::MakeClip("edit-list", "-ss 0.5 -i '" + strH264 + "' -c copy", "mp4")},
        {"long-sound",
         testmedia::MakeClip(
             "long-sound",
             "-i '" + strH264 + "' -f lavfi -i sine=d=4 -map 0:v -map 1:a -c:v copy -c:a aac",
             "mp4")},
        {"no-duration",
         testmedia::MakeClip("no-duration", "-i '" + strH264 + "' -c copy -f h264", "h264")},
        {"live-webm",  // written to a pipe: no length in its header, cues or anywhere
         testmedia::Shell("f='" + testmedia::MediaDir() + "/live.webm'; ffmpeg -v error -y -i '" +
                          strH264 +
                          "' -c:v libvpx -b:v 500k -f webm - > \"$f\" && echo -n \"$f\"")},
        {"single-frame", testmedia::IndexedClip({160, 120, 30, 1, "-c:v mpeg4", "mp4"})},
    };
    for (const auto& [strName, strClip] : cases) {
        ASSERT_FALSE(strClip.empty()) << strName;
        OpenSource(strClip);
        const std::string strDest = Dest("carried-" + strName + ".avi");
        Convert(strDest);
        const std::vector<int> expected = Indices(strClip, 160, 120);
        ASSERT_FALSE(expected.empty()) << strName;
        EXPECT_EQ(Indices(strDest, 160, 120), expected) << strName;
    }

    // A single frame whose container says the video lasts a second: the frame is shown for
    // that second, as ffprobe reads the length, not for the thirtieth its frame rate gives.
    const std::string strStill = testmedia::MakeClip(
        "one-second-still",
        "-i '" + testmedia::IndexedClip({160, 120, 30, 1, "-c:v mpeg4", "mp4"}) +
            "' -c:v libvpx -b:v 200k -bsf:v setts=duration=1000",
        "webm");
    ASSERT_EQ(
        Shell("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + strStill + "'"),
        "1.000000\n");
    OpenSource(strStill);
    Convert(Dest("carried-still.avi"));
    EXPECT_EQ(Indices(Dest("carried-still.avi"), 160, 120), std::vector<int>(30, 0));
}

// YUV compressors are given the decoded picture itself, not a conversion back from the
// 24-bit frame: the written frames are as close to the source as FFmpeg's own conversion.
TEST_F(ConversionRunTest, YuvCompressorsKeepTheSourceAsFaithfullyAsFFmpeg) {
    const std::string strSource = testmedia::MakeClip(
        "sharp", "-f lavfi -i testsrc2=s=320x240:r=30:d=0.5 -c:v mpeg4 -q:v 2", "avi");
    ASSERT_FALSE(strSource.empty());
    struct Case {
        const char* pszTag;
        const char* pszFFmpeg;
    };
    for (const Case& c : {Case{"MJPG", "-c:v mjpeg -q:v 3"}, Case{"FMP4", "-c:v mpeg4 -q:v 3"}}) {
        SCOPED_TRACE(c.pszTag);
        UseCompressor(c.pszTag[0], c.pszTag[1], c.pszTag[2], c.pszTag[3], 94);  // quantiser 3
        OpenSource(strSource);
        Convert(Dest(std::string("sharp-") + c.pszTag + ".avi"));
        const std::string strReference = Dest(std::string("sharp-ffmpeg-") + c.pszTag + ".avi");
        Shell("ffmpeg -nostdin -v error -y -i '" + strSource + "' " + c.pszFFmpeg + " '" +
              strReference + "'");
        const double dOurs = LumaPsnr(Dest(std::string("sharp-") + c.pszTag + ".avi"), strSource);
        const double dTheirs = LumaPsnr(strReference, strSource);
        ASSERT_GT(dTheirs, 30.0);
        EXPECT_GE(dOurs, dTheirs - 0.5);
    }
}

// Black and white stay black and white whichever of limited and full range the source and
// the compressor use.
TEST_F(ConversionRunTest, LevelsSurviveBetweenLimitedAndFullRange) {
    const std::string strHalves =
        "-f lavfi -i color=c=white:s=320x240:r=30:d=0.2 "
        "-vf drawbox=x=0:y=0:w=160:h=240:color=black:t=fill ";
    const std::string strLimited =
        testmedia::MakeClip("halves", strHalves + "-c:v mpeg4 -q:v 2", "avi");
    const std::string strFull =
        testmedia::MakeClip("halves", strHalves + "-c:v mjpeg -q:v 2", "avi");
    ASSERT_FALSE(strLimited.empty());
    ASSERT_FALSE(strFull.empty());
    struct Case {
        std::string strSource;
        const char* pszTag;
    };
    int n = 0;
    for (const Case& c : {Case{strLimited, "MJPG"}, Case{strFull, "FMP4"}, Case{strFull, "MJPG"}}) {
        SCOPED_TRACE(std::string(c.pszTag) + " from " + c.strSource);
        UseCompressor(c.pszTag[0], c.pszTag[1], c.pszTag[2], c.pszTag[3], 94);
        OpenSource(c.strSource);
        const std::string strDest = Dest("levels-" + std::to_string(n++) + ".avi");
        Convert(strDest);
        const std::vector<int> black = PixelOf(strDest, 320, 240, 40, 120);
        const std::vector<int> white = PixelOf(strDest, 320, 240, 280, 120);
        ASSERT_EQ(black.size(), 3u);
        ASSERT_EQ(white.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_LE(black[i], 3);
            EXPECT_GE(white[i], 252);
        }
    }
}

// A BT.709 source is shown with its own matrix; AVI has no place to say so, so its written
// frames carry the colours the window shows, not its YUV as it is: for compressors of
// either range, bar by bar over the whole gamut of the bars.
TEST_F(ConversionRunTest, Bt709SourceIsWrittenWithTheColoursItShows) {
    const std::string strSource = testmedia::MakeClip(
        "bars709",
        "-f lavfi -i smptehdbars=s=320x240:r=30:d=0.2 -c:v libx264 -pix_fmt yuv420p "
        "-colorspace bt709 -color_primaries bt709 -color_trc bt709",
        "mkv");
    ASSERT_FALSE(strSource.empty());
    for (const char* pszTag : {"FMP4", "MJPG"}) {
        SCOPED_TRACE(pszTag);
        UseCompressor(pszTag[0], pszTag[1], pszTag[2], pszTag[3], 100);
        OpenSource(strSource);
        const std::string strDest = Dest(std::string("bars709-") + pszTag + ".avi");
        Convert(strDest);
        const auto frames = testmedia::DecodeAll(strDest, 320, 240);
        ASSERT_FALSE(frames.empty());
        // Every frame is the same: FrameImage still holds the picture the window showed last.
        // The centres of the seven top bars, away from edges that chroma subsampling blurs.
        for (int nBar = 0; nBar < 7; ++nBar) {
            const int x = 40 + nBar * 40 * 6 / 7 + 10;
            const int y = 60;
            const uint8_t* pShown = doc.pFrameImage.get() + dib::kPixelOffset +
                                    dib::RowBytes24(320) * (239 - y) + x * 3;
            const uint8_t* pWritten = frames.back().data() + (static_cast<size_t>(y) * 320 + x) * 3;
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(pWritten[i], pShown[i], 4) << "bar " << nBar << " component " << i;
            }
        }
    }
}

}  // namespace
