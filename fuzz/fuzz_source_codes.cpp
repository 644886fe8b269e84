// The handler and format codes from a file's first bytes and its extension.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "playback/source_codes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    if (nSize == 0) {
        return 0;
    }
    const size_t nExt = pData[0] % 16;  // the first byte says how long the extension is
    const size_t nTake = nExt + 1 <= nSize ? nExt : nSize - 1;
    const std::string strPath =
        "/x/name." + std::string(reinterpret_cast<const char*>(pData + 1), nTake);
    uint8_t header[kSourceHeaderBytes] = {};
    const size_t nRest = nSize - 1 - nTake;
    std::memcpy(header, pData + 1 + nTake, nRest < kSourceHeaderBytes ? nRest : kSourceHeaderBytes);
    WorkOutSourceCodes(FileExtensionOf(strPath), header);
    FileTitleOf(strPath);
    return 0;
}
