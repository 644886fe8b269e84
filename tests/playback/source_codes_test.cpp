#include "playback/source_codes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(SourceCodes, AviTakesTheBytesAtFixedOffsets) {
    uint8_t header[kSourceHeaderBytes] = {};
    std::memcpy(header + 112, "dvsd", 4);
    std::memcpy(header + 188, "dvsd", 4);
    EXPECT_EQ(WorkOutSourceCodes("avi", header).strHandler, "dvsd");
    EXPECT_EQ(WorkOutSourceCodes("AvI", header).strFormat, "dvsd");

    std::memcpy(header + 112, "ab\0d", 4);
    std::memset(header + 188, 0, 4);
    const SourceCodes codes = WorkOutSourceCodes("AVI", header);
    EXPECT_EQ(codes.strHandler, "ab") << "a code ends at its first zero byte";
    EXPECT_EQ(codes.strFormat, "");
}

TEST(SourceCodes, OtherExtensionsNameThemselves) {
    const uint8_t header[kSourceHeaderBytes] = {};
    struct Row {
        const char* pszExt;
        const char* pszHandler;
    };
    for (Row row : {Row{"mpg", "mpeg"}, Row{"MPG", "mpeg"}, Row{"mpeg", "mpeg"},
                    Row{"MPEG", "MPEG"}, Row{"wmv", "wmv "}, Row{"", "    "},
                    Row{"matroska", "matr"}, Row{"動画ファイル", "動画ファ"}}) {
        const SourceCodes codes = WorkOutSourceCodes(row.pszExt, header);
        EXPECT_EQ(codes.strHandler, row.pszHandler) << row.pszExt;
        EXPECT_EQ(codes.strFormat, "    ") << row.pszExt;
    }
}

TEST(SourceCodes, PathPieces) {
    EXPECT_EQ(FileExtensionOf("/a.b/clip.AVI"), "AVI");
    EXPECT_EQ(FileExtensionOf("/a.b/clip"), "");
    EXPECT_EQ(FileExtensionOf("/x/archive.tar.gz"), "gz");
    EXPECT_EQ(FileTitleOf("/home/u/my clip.mpg"), "my clip");
    EXPECT_EQ(FileTitleOf("/home/u/動画.avi"), "動画");
    EXPECT_EQ(FileTitleOf("/home/u/.hidden"), ".hidden");
}

}  // namespace
