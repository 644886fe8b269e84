// TransformFrame on fuzzed headers, sizes, modes and levels.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "effects/transform_frame.h"
#include "resources/colour_modes.h"
#include "state/app_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    if (nSize < 16) {
        return 0;
    }
    ResetAppState();
    const int32_t w = pData[0] % 67;  // small frames, odd widths included
    const int32_t h = pData[1] % 41;
    const uint16_t nBits[] = {1, 4, 8, 15, 16, 24, 32, 48};
    AppState.nColorMode = static_cast<int8_t>(pData[2]) % (colour::kModeCount + 2);  // and unknown
    AppState.nMosaicSize = static_cast<int8_t>(pData[3]);
    AppState.nPaintLevels = static_cast<int8_t>(pData[4]);
    AppState.nStrobeInterval = static_cast<int8_t>(pData[5]);
    AppState.nStrobeCount = static_cast<int8_t>(pData[6]);
    for (int i = 0; i < 3; ++i) {
        AppState.nRgbLevel[i] = (pData[7 + i] - 128) * 2;
        AppState.nYuvLevel[i] = (pData[10 + i] - 128) * 2;
        AppState.nHsvLevel[i] = (pData[13 + i] - 128) * 2;
    }
    // The blocks as the document sizes them: room for any depth up to 32 bits, plus a table.
    std::vector<uint8_t> header(40 + 1024, 0);
    dib::BitmapInfoHeader bih = dib::MakeHeader24(w, h);
    bih.biBitCount = nBits[pData[2] % 8];
    std::memcpy(header.data(), &bih, sizeof(bih));
    const auto nBlock = static_cast<size_t>(dib::ImageBlockBytes(w, h));
    std::vector<uint8_t> src(nBlock, 0);
    std::vector<uint8_t> out(nBlock, 0);
    std::memcpy(src.data(), pData + 16, nSize - 16 < nBlock ? nSize - 16 : nBlock);
    std::memcpy(header.data() + 40, pData + 16, nSize - 16 < 1024 ? nSize - 16 : 1024);
    effects::TransformFrame(out.data(), src.data(),
                            reinterpret_cast<const dib::BitmapInfoHeader*>(header.data()), w, h);
    return 0;
}
