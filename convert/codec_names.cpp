#include "convert/codec_names.h"

#include <cstring>

const CodecNameRow CodecNameTable[] = {
    {"mpeg", "MPEG1 Video"},
    {"cvid", "Cinepak by Supermac"},
    {"mjpg", "Motion JPEG DIB Format"},
    {"mj2c", "Motion JPEG 2000"},
    {"msvc", "Microsoft Video 1"},
    {"rt21", "Indeo 2.1"},
    {"iv31", "Indeo 3.1"},
    {"iv32", "Indeo 3.2"},
    {"ian Indeo 4", nullptr},
    {"iv40", "Indeo 4.0"},
    {"iv41", "Indeo 4.1"},
    {"iv50", "Indeo 5.0"},
    {"iv51", "Indeo 5.1"},
    {"divx", "DivX 4.0"},
    {"div3", "DivX 3.0"},
    {"div4", "AngelPotion(DivX compartible)"},
    {"ap41", "AngelPotion MPEG-4"},
    {"dib ", "UnCompressed DIB AVI"},
    {"dvsd", "DV Codec"},
    {"m4s2", "Microsoft MPEG-4 Ver.2"},
    {"mp42", "Microsoft MPEG-4"},
    {"mp43", "Microsoft MPEG-4"},
    {"mpg4", "Microsoft MPEG-4"},
    {"xvid", "XviD (Open Source DivX)"},
    {"wmv3", "Windows Media 9"},
    {nullptr, nullptr},
};

namespace {
bool EqualsAsciiNoCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}
}  // namespace

bool FindCodecName(const std::string& strCode, std::string& strName) {
    for (const CodecNameRow* pRow = CodecNameTable; pRow->pszKey != nullptr; ++pRow) {
        if (EqualsAsciiNoCase(strCode, pRow->pszKey)) {
            if (pRow->pszName == nullptr) {
                return false;
            }
            strName = pRow->pszName;
            return true;
        }
    }
    return false;
}
