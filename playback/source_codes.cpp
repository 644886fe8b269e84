#include "playback/source_codes.h"

#include <algorithm>
#include <cctype>

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    const std::string strB(b);
    return a.size() == strB.size() &&
           std::equal(a.begin(), a.end(), strB.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// Four bytes as a text that ends at the first zero byte.
std::string CodeAt(const uint8_t (&header)[kSourceHeaderBytes], size_t nOffset) {
    std::string strCode;
    for (size_t i = 0; i < 4 && header[nOffset + i] != 0; ++i) {
        strCode.push_back(static_cast<char>(header[nOffset + i]));
    }
    return strCode;
}

// The first four characters (not bytes: a UTF-8 character is never cut), padded with spaces.
std::string FirstFourPadded(const std::string& strText) {
    std::string strOut;
    size_t nChars = 0;
    for (size_t i = 0; i < strText.size() && nChars < 4; ++nChars) {
        size_t nLen = 1;
        const auto c = static_cast<unsigned char>(strText[i]);
        if (c >= 0xF0) {
            nLen = 4;
        } else if (c >= 0xE0) {
            nLen = 3;
        } else if (c >= 0xC0) {
            nLen = 2;
        }
        strOut.append(strText, i, nLen);
        i += nLen;
    }
    strOut.append(4 - nChars, ' ');
    return strOut;
}

std::string FileNameOf(const std::string& strPath) {
    const size_t nSlash = strPath.find_last_of('/');
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

}  // namespace

SourceCodes WorkOutSourceCodes(const std::string& strExtension,
                               const uint8_t (&header)[kSourceHeaderBytes]) {
    if (EqualsIgnoringCase(strExtension, "AVI")) {
        return {CodeAt(header, 112), CodeAt(header, 188)};
    }
    if (EqualsIgnoringCase(strExtension, "MPG")) {
        return {"mpeg", "    "};
    }
    return {FirstFourPadded(strExtension), "    "};
}

std::string FileExtensionOf(const std::string& strPath) {
    const std::string strName = FileNameOf(strPath);
    const size_t nDot = strName.find_last_of('.');
    return nDot == std::string::npos ? std::string() : strName.substr(nDot + 1);
}

std::string FileTitleOf(const std::string& strPath) {
    const std::string strName = FileNameOf(strPath);
    const size_t nDot = strName.find_last_of('.');
    return nDot == std::string::npos || nDot == 0 ? strName : strName.substr(0, nDot);
}
