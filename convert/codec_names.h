#pragma once
// The fixed table that names a source's four-character codec code.
#include <string>

struct CodecNameRow {
    const char* pszKey;   // nullptr ends the table
    const char* pszName;  // nullptr: a row without a name
};

extern const CodecNameRow CodecNameTable[];

// Compares code with each key, ignoring the case of ASCII letters, first row first. On the
// first equal key with a name, strName receives the name and the result is true; otherwise
// strName is left as it was.
bool FindCodecName(const std::string& strCode, std::string& strName);
