#include "convert/avi_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "support/test_media.h"

namespace fs = std::filesystem;
using platform::MakeFourCC;

namespace {

using testmedia::DecodeAll;
using testmedia::Probe;

// A bottom-up padded block's pixels as top-down unpadded rows, optionally cut to columns.
std::vector<uint8_t> TopDown(const uint8_t* pPixels, int w, int h, int x0, int cw) {
    std::vector<uint8_t> out;
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t* pRow = pPixels + dib::RowBytes24(w) * y + x0 * 3;
        out.insert(out.end(), pRow, pRow + cw * 3);
    }
    return out;
}

class AviWriterTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    // Converts strSource's range [start, end] into strOut as the conversion run does, keeping
    // the source frames (top-down) that were handed to the writer at each written count.
    int Convert(const std::string& strSource, const std::string& strOut, int32_t nStart,
                int32_t nEnd) {
        ui.answers.push_back(strSource);
        doc.OnFileOpen();
        doc.OnPlayStop();
        AppState.nRangeStart = nStart;
        AppState.nRangeEnd = nEnd;
        writer.SetFileName(strOut);
        if (!writer.Open(&doc, AppState.nVideoWidth, AppState.nVideoHeight)) {
            return -100;
        }
        writer.Start();
        AppState.bConverting = 1;
        doc.OnPlayStart();
        int nResult = CAviWriter::kContinue;
        for (int nTicks = 0; nResult == CAviWriter::kContinue && nTicks < 1000; ++nTicks) {
            grabber.FetchFrame();
            if (writer.nFrameCount % AppState.nThinning == 0) {
                sent.push_back(TopDown(doc.pFrameImage.get() + dib::kPixelOffset,
                                       AppState.nVideoWidth, AppState.nVideoHeight, 0,
                                       AppState.nVideoWidth));
            }
            nResult = writer.WriteFrame();
        }
        grabber.Close();
        AppState.bConverting = 0;
        writer.Close();
        return nResult;
    }

    std::vector<std::vector<uint8_t>> sent;
};

TEST_F(AviWriterTest, NameStateAndCancelledOrImpossibleFiles) {
    std::string strName = "x";
    EXPECT_EQ(writer.GetFileName(strName), 0);
    EXPECT_EQ(strName, "");
    writer.SetFileName(testmedia::MediaDir() + "/cancelled.avi");
    EXPECT_EQ(writer.GetFileName(strName), 1);
    fs::remove(strName);

    chooser.answer.reset();  // the user cancels
    EXPECT_EQ(writer.Open(&doc, 320, 240), 0);
    EXPECT_FALSE(fs::exists(strName)) << "a cancelled choice creates no file";
    EXPECT_EQ(writer.bHasFileName, 1) << "and keeps the name";
    EXPECT_EQ(chooser.offered.biWidth, 320);

    chooser.answer = platform::CompressorChoice{};
    for (const std::string& strBad :
         {testmedia::MediaDir() + "/no/such/folder/out.avi", testmedia::MediaDir()}) {
        writer.SetFileName(strBad);
        EXPECT_EQ(writer.Open(&doc, 320, 240), 0) << strBad;
        EXPECT_EQ(writer.bHasFileName, 0) << "the name is forgotten";
    }
    EXPECT_TRUE(fs::is_directory(testmedia::MediaDir()));

    // The file is made, then the stream cannot be: no compressor by that code, or one that
    // cannot take the frame size. Nothing is left behind.
    for (const uint32_t nFourCC :
         {platform::MakeFourCC('X', 'X', 'X', 'X'), platform::MakeFourCC('d', 'v', 's', 'd')}) {
        const std::string strOut = testmedia::MediaDir() + "/half made.avi";
        fs::remove(strOut);
        chooser.answer = platform::CompressorChoice{nFourCC, 0, -1, 0, {}};
        writer.SetFileName(strOut);
        EXPECT_EQ(writer.Open(&doc, 320, 240), 0);
        EXPECT_FALSE(fs::exists(strOut)) << std::hex << nFourCC;
    }
    writer.SetFileName("");
    EXPECT_EQ(writer.GetFileName(strName), 0);
    EXPECT_EQ(writer.WriteFrame(), CAviWriter::kFinished) << "not active";
}

// Lossless compressors give back the very pixels; the frame count, rate and handler code are
// what an independent reader sees.
TEST_F(AviWriterTest, LosslessFilesHoldTheExactFrames) {
    const std::string strSource =
        testmedia::IndexedClip({322, 240, 30, 30, "-c:v mjpeg -q:v 3", "avi"});
    const std::pair<uint32_t, const char*> codecs[] = {
        {platform::kFourCCDib, "rawvideo 0x0000"},
        {MakeFourCC('F', 'F', 'V', '1'), "ffv1 FFV1"},
        {MakeFourCC('H', 'F', 'Y', 'U'), "huffyuv HFYU"},
    };
    for (const auto& [nFourCC, pszExpected] : codecs) {
        sent.clear();
        AppState.nDstFrameRate = 15;
        chooser.answer = platform::CompressorChoice{nFourCC, 0, -1, 0, {}};
        const std::string strOut =
            testmedia::MediaDir() + "/lossless-" + platform::FourCCText(nFourCC) + ".avi";
        ASSERT_EQ(Convert(strSource, strOut, 3, 12), CAviWriter::kFinished);
        const std::string strCodec = Probe(strOut, "codec_name,codec_tag");
        EXPECT_EQ(strCodec.substr(0, strCodec.find(' ')),
                  std::string(pszExpected).substr(0, std::string(pszExpected).find(' ')));
        EXPECT_EQ(Probe(strOut, "width,height,r_frame_rate,nb_read_frames"), "322 240 15/1 10");
        const auto decoded = DecodeAll(strOut, 322, 240);
        ASSERT_EQ(decoded.size(), 10u);
        ASSERT_EQ(sent.size(), 10u);
        for (size_t i = 0; i < decoded.size(); ++i) {
            ASSERT_EQ(decoded[i], sent[i]) << platform::FourCCText(nFourCC) << " frame " << i;
        }
    }
}

TEST_F(AviWriterTest, LossyCompressorsWriteDecodableFramesOfTheRightSource) {
    const std::string strSource = testmedia::IndexedClip({});
    for (uint32_t nFourCC : {MakeFourCC('M', 'J', 'P', 'G'), MakeFourCC('F', 'M', 'P', '4'),
                             MakeFourCC('X', 'V', 'I', 'D'), MakeFourCC('M', 'P', '4', '2'),
                             MakeFourCC('D', 'I', 'V', '3'), MakeFourCC('H', '2', '6', '4'),
                             MakeFourCC('m', 'p', 'g', '1'), MakeFourCC('c', 'v', 'i', 'd'),
                             MakeFourCC('M', 'S', 'V', 'C')}) {
        sent.clear();
        chooser.answer = platform::CompressorChoice{nFourCC, 5, 80, 0, {}};
        const std::string strTag = platform::FourCCText(nFourCC);
        const std::string strOut = testmedia::MediaDir() + "/lossy-" + strTag + ".avi";
        ASSERT_EQ(Convert(strSource, strOut, 20, 27), CAviWriter::kFinished) << strTag;
        EXPECT_EQ(Probe(strOut, "codec_tag_string"), strTag);
        EXPECT_EQ(Probe(strOut, "nb_read_frames"), "8") << strTag;
        // The frame index survives the codec: the frames are the range's, in order.
        EXPECT_EQ(testmedia::DecodedIndices(strOut, 320, 240),
                  (std::vector<int>{20, 21, 22, 23, 24, 25, 26, 27}))
            << strTag;
    }
}

TEST_F(AviWriterTest, ThinningWritesEveryNthFrameOfTheRange) {
    AppState.nThinning = 3;
    chooser.answer = platform::CompressorChoice{platform::kFourCCDib, 0, -1, 0, {}};
    const std::string strOut = testmedia::MediaDir() + "/thinned.avi";
    ASSERT_EQ(Convert(testmedia::IndexedClip({160, 120, 30, 150, "-c:v mpeg4 -q:v 2", "avi"}),
                      strOut, 100, 110),
              CAviWriter::kFinished);
    EXPECT_EQ(writer.nFrameCount, 11);
    EXPECT_EQ(writer.streamInfo.nLength, 3u);
    EXPECT_EQ(AppState.strTimeText, "00:03:20 / 00:03:20");
    EXPECT_EQ(testmedia::DecodedIndices(strOut, 160, 120), (std::vector<int>{100, 103, 106, 109}));
}

TEST_F(AviWriterTest, DvReductionKeepsTheMiddle320Columns) {
    const std::string strSource = testmedia::IndexedClip({360, 240, 30, 10, "-c:v ffv1", "avi"});
    AppState.bDvCrop = 1;
    chooser.answer = platform::CompressorChoice{platform::kFourCCDib, 0, -1, 0, {}};
    const std::string strOut = testmedia::MediaDir() + "/dv-reduced.avi";
    ASSERT_EQ(Convert(strSource, strOut, 0, 2), CAviWriter::kFinished);
    EXPECT_EQ(AppState.bDvCropActive, 1);
    EXPECT_EQ(chooser.offered.biWidth, 320) << "the compressor is offered the reduced size";
    EXPECT_EQ(Probe(strOut, "width,height"), "320 240");
    const auto decoded = DecodeAll(strOut, 320, 240);
    ASSERT_EQ(decoded.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        // sent[i] is the 360-wide source frame, top down: columns 20..339 of it.
        std::vector<uint8_t> cut;
        for (int y = 0; y < 240; ++y) {
            const auto it = sent[i].begin() + (static_cast<ptrdiff_t>(y) * 360 + 20) * 3;
            cut.insert(cut.end(), it, it + 960);
        }
        EXPECT_EQ(decoded[i], cut);
    }

    // Without the option, or at another size, frames keep the source size.
    AppState.bDvCrop = 0;
    sent.clear();
    ASSERT_EQ(Convert(strSource, strOut, 0, 0), CAviWriter::kFinished);
    EXPECT_EQ(Probe(strOut, "width,height"), "360 240");
    EXPECT_EQ(AppState.strTimeText, "00:00:00 / 00:00:00");
}

TEST_F(AviWriterTest, FullDiskFailsTheWriteAndKeepsWhatWasWritten) {
    const std::string strOut = testmedia::MediaDir() + "/full-disk.avi";
    fs::remove(strOut);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1'000'000;  // room for a few uncompressed 320×240 frames
    setrlimit(RLIMIT_FSIZE, &small);
    chooser.answer = platform::CompressorChoice{platform::kFourCCDib, 0, -1, 0, {}};
    const int nResult = Convert(testmedia::IndexedClip({}), strOut, 0, 59);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(nResult, CAviWriter::kWriteFailed);
    const std::string strFrames = Probe(strOut, "nb_read_frames");
    EXPECT_FALSE(strFrames.empty());
    EXPECT_GE(std::atoi(strFrames.c_str()), 3) << "the frames written before stay readable";
}

}  // namespace

namespace {

bool Offers(const std::vector<platform::CompressorInfo>& list, uint32_t nFourCC) {
    return std::any_of(list.begin(), list.end(), [&](const platform::CompressorInfo& info) {
        return info.nFourCC == nFourCC;
    });
}

TEST(Compressors, CatalogueOffersWhatOpensAtTheSize) {
    const auto qvga = platform::ListCompressors(320, 240);
    ASSERT_FALSE(qvga.empty());
    EXPECT_EQ(qvga.front().nFourCC, platform::kFourCCDib);
    for (uint32_t n : {MakeFourCC('M', 'J', 'P', 'G'), MakeFourCC('F', 'M', 'P', '4'),
                       MakeFourCC('F', 'F', 'V', '1'), MakeFourCC('H', 'F', 'Y', 'U'),
                       MakeFourCC('c', 'v', 'i', 'd'), MakeFourCC('M', 'S', 'V', 'C'),
                       MakeFourCC('M', 'P', '4', '2'), MakeFourCC('D', 'I', 'V', '3')}) {
        EXPECT_TRUE(Offers(qvga, n)) << platform::FourCCText(n);
    }
    EXPECT_FALSE(Offers(qvga, MakeFourCC('d', 'v', 's', 'd'))) << "DV takes only its own sizes";
    EXPECT_TRUE(Offers(platform::ListCompressors(720, 480), MakeFourCC('d', 'v', 's', 'd')));
}

// Whatever the chooser offers for an odd size must write: never a failed conversion after
// the user chose it.
TEST_F(AviWriterTest, EveryOfferedCompressorWritesAnOddSize) {
    const std::string strSource = testmedia::IndexedClip({321, 241, 30, 10, "-c:v ffv1", "avi"});
    for (const platform::CompressorInfo& info : platform::ListCompressors(321, 241)) {
        chooser.answer = platform::CompressorChoice{info.nFourCC, 0, 75, 0, {}};
        const std::string strOut =
            testmedia::MediaDir() + "/odd-" + platform::FourCCText(info.nFourCC) + ".avi";
        ASSERT_EQ(Convert(strSource, strOut, 0, 1), CAviWriter::kFinished) << info.strName;
        EXPECT_EQ(Probe(strOut, "width,height,nb_read_frames"), "321 241 2") << info.strName;
    }
}

TEST_F(AviWriterTest, DvAtItsOwnSize) {
    chooser.answer = platform::CompressorChoice{MakeFourCC('d', 'v', 's', 'd'), 0, -1, 0, {}};
    const std::string strOut = testmedia::MediaDir() + "/dv.avi";
    ASSERT_EQ(Convert(testmedia::IndexedClip({720, 480, 30, 4, "-c:v mjpeg", "avi"}), strOut, 0, 2),
              CAviWriter::kFinished);
    EXPECT_EQ(Probe(strOut, "codec_name,width,height,nb_read_frames"), "dvvideo 720 480 3");
}

}  // namespace
