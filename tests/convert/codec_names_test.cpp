#include "convert/codec_names.h"

#include <gtest/gtest.h>

#include "convert/avi_writer.h"

namespace {

TEST(CodecNames, Lookup) {
    std::string strName;
    EXPECT_TRUE(FindCodecName("XVID", strName));
    EXPECT_EQ(strName, "XviD (Open Source DivX)");
    EXPECT_TRUE(FindCodecName("DIB ", strName));
    EXPECT_EQ(strName, "UnCompressed DIB AVI");
    EXPECT_TRUE(FindCodecName("Mp43", strName));
    EXPECT_EQ(strName, "Microsoft MPEG-4");
    strName.clear();
    EXPECT_FALSE(FindCodecName("H264", strName));
    EXPECT_FALSE(FindCodecName("DIB", strName)) << "the space belongs to the key";
    EXPECT_FALSE(FindCodecName("ian Indeo 4", strName)) << "a row without a name finds nothing";
    EXPECT_EQ(strName, "");
}

TEST(CodecNames, ProgressTextCountsAtThirtyFramesASecond) {
    EXPECT_EQ(FormatProgress(0, 0), "00:00:00 / 00:00:00");
    EXPECT_EQ(FormatProgress(1850, 3659), "01:01:20 / 02:01:29");
}

}  // namespace
