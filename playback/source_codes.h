#pragma once
// The two four-character codes shown for the open source, and the pieces of a path that
// the open command works with.
#include <cstddef>
#include <cstdint>
#include <string>

// How much of a file's start is read for the codes. Bytes past the end of a short file
// count as zero.
constexpr size_t kSourceHeaderBytes = 1024;

struct SourceCodes {
    std::string strHandler;
    std::string strFormat;
};

// AVI: the bytes at offsets 112 and 188 (the first stream's handler and compression codes
// in the usual layout); MPG: "mpeg"; anything else: the extension's first four characters.
SourceCodes WorkOutSourceCodes(const std::string& strExtension,
                               const uint8_t (&header)[kSourceHeaderBytes]);

// The extension without its dot ("" when the file name has none).
std::string FileExtensionOf(const std::string& strPath);
// The file name without folder and extension, as shown in the window title.
std::string FileTitleOf(const std::string& strPath);
