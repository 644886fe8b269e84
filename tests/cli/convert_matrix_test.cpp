// The matrix of what YUV compressors write: the one players assume for a stream that does not
// say (BT.709 for HD, BT.601 below, BT.601 always for JPEG), and said where the codec can.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/cli_convert.h"
#include "support/test_media.h"

namespace {

using Frame = std::vector<uint8_t>;

// The first frame as GStreamer decodes and converts it by itself: 24-bit BGR, top row first
// (rows unpadded for widths that are multiples of 4).
Frame GstFirstFrame(const std::string& strPath, size_t nBytes) {
    const std::string strRaw = testmedia::Shell(
        "gst-launch-1.0 -q filesrc location='" + strPath +
        "' ! decodebin ! videoconvert dither=none ! video/x-raw,format=BGR ! fdsink fd=1");
    return Frame(strRaw.begin(), strRaw.begin() + std::min(strRaw.size(), nBytes));
}

// The first frame as ffmpeg decodes it, reading its YUV with the matrix given.
Frame FFmpegFirstFrame(const std::string& strPath, const char* pszMatrix) {
    const std::string strRaw = testmedia::Shell(
        "ffmpeg -v error -i '" + strPath + "' -frames:v 1 -vf scale=in_color_matrix=" + pszMatrix +
        " -f rawvideo -pix_fmt bgr24 -");
    return Frame(strRaw.begin(), strRaw.end());
}

// Mean difference of the channels at the centre of every 8 × 8 block (away from the edges
// that chroma subsampling blurs differently in every reader).
double BlockMeanDifference(const Frame& a, const Frame& b, int w, int h) {
    if (a.size() != b.size() || a.size() < static_cast<size_t>(w) * h * 3) {
        return 255;
    }
    double dSum = 0;
    int nCount = 0;
    for (int y = 4; y < h - 4; y += 8) {
        for (int x = 4; x < w - 4; x += 8) {
            for (int c = 0; c < 3; ++c) {
                const size_t i = (static_cast<size_t>(y) * w + x) * 3 + c;
                dSum += std::abs(a[i] - b[i]);
                ++nCount;
            }
        }
    }
    return dSum / nCount;
}

std::string ColourSpace(const std::string& strPath) {
    return testmedia::Shell(
        "ffprobe -v error -select_streams v -show_entries stream=color_space "
        "-of csv=p=0 '" +
        strPath + "'");
}

// A 1080p BT.709 source and a 480p one that says nothing, through MPEG-4 (no room to say its
// matrix), x264 (which says it) and MJPEG, also through the colour stage's own kernel: each
// decodes, by GStreamer on its own assumptions and by FFmpeg told the matrix (or reading the
// tag), to the source's colours.
TEST(ConvertMatrix, YuvCompressorsWriteTheMatrixPlayersAssume) {
    struct Source {
        int nWidth;
        int nHeight;
        std::string strTags;
        const char* pszMatrix;  // what players assume at that size
        const char* pszTag;     // what ffprobe reads from x264's stream
    };
    const std::vector<Source> sources = {
        {1920, 1080, " -colorspace bt709 -color_primaries bt709 -color_trc bt709", "bt709",
         "bt709\n"},
        {848, 480, "", "bt601", "smpte170m\n"},
    };
    const std::string strDest = testmedia::MediaDir() + "/matrix-out.avi";
    for (const Source& s : sources) {
        const std::string strSize = std::to_string(s.nWidth) + "x" + std::to_string(s.nHeight);
        const std::string strSource = testmedia::MakeClip(
            "matrix",
            "-f lavfi -i testsrc2=s=" + strSize +
                ":r=30:d=0.1 -c:v libx264 -preset ultrafast -qp 0 -pix_fmt yuv420p" + s.strTags,
            "mp4");
        ASSERT_FALSE(strSource.empty()) << strSize;
        const Frame source = FFmpegFirstFrame(strSource, "auto");
        const size_t nBytes = source.size();
        auto differs = [&](const Frame& f) {
            return BlockMeanDifference(f, source, s.nWidth, s.nHeight);
        };

        // The picture passed on in YUV (its matrix changed or not), and the 24-bit frame
        // through the colour stage's kernel (RGB mode at level 0 leaves it as it is).
        for (const std::vector<std::string>& options :
             {std::vector<std::string>{}, {"--mode", "3", "--levels", "0,0,0"}}) {
            std::vector<std::string> args = {strSource, strDest,     "--codec",
                                             "FMP4",    "--quality", "100"};
            args.insert(args.end(), options.begin(), options.end());
            ASSERT_EQ(testcli::Convert(args).nCode, 0) << strSize;
            const double dLimit = options.empty() ? 1.5 : 2.5;  // the kernel subsamples again
            EXPECT_LT(differs(GstFirstFrame(strDest, nBytes)), dLimit) << strSize << " GStreamer";
            EXPECT_LT(differs(FFmpegFirstFrame(strDest, s.pszMatrix)), dLimit) << strSize;
        }

        ASSERT_EQ(
            testcli::Convert({strSource, strDest, "--codec", "H264", "--quality", "100"}).nCode, 0);
        EXPECT_EQ(ColourSpace(strDest), s.pszTag) << strSize;
        EXPECT_LT(differs(FFmpegFirstFrame(strDest, "auto")), 1.0) << strSize << " H264";

        ASSERT_EQ(
            testcli::Convert({strSource, strDest, "--codec", "MJPG", "--quality", "100"}).nCode, 0);
        EXPECT_LT(differs(GstFirstFrame(strDest, nBytes)), 1.5) << strSize << " MJPG";
        EXPECT_LT(differs(FFmpegFirstFrame(strDest, "auto")), 1.5) << strSize << " MJPG";
    }
}

}  // namespace
