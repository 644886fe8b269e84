#pragma once
// A text with printf fields (the ones marked so in strings.h and command_line_texts.h) filled in.
#include <cstdio>
#include <string>

namespace str {

template <typename... Args>
std::string Format(const char* pszFormat, Args... args) {
    char sz[1024];
    std::snprintf(sz, sizeof(sz), pszFormat, args...);
    return sz;
}

}  // namespace str
