#pragma once
// Video compressors for AVI files, and the user's choice among them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/dib.h"

namespace platform {

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}
constexpr uint32_t kFourCCDib = MakeFourCC('D', 'I', 'B', ' ');
std::string FourCCText(uint32_t nFourCC);

struct CompressorInfo {
    uint32_t nFourCC;  // the handler code written into the file's stream header
    std::string strName;
    bool bUsesKeyFrames;  // inter-frame codec: the key-frame interval means something
    bool bUsesQuality;    // lossy codec with a quality scale
    bool bUsesDataRate;   // has rate control
};

// Every compressor of this build that can take our 24-bit frames at width × height and
// writes into AVI. Uncompressed "DIB " always comes first.
std::vector<CompressorInfo> ListCompressors(int nWidth, int nHeight);
// Whether one compressor can take width × height frames (cheaper than the whole list).
bool CanCompress(uint32_t nFourCC, int nWidth, int nHeight);

// What the user chose: the handler code, the key-frame interval (0: the codec's default),
// the quality 0..100 (-1: the codec's default), the data rate in KB/s (0: none) and the
// compressor's own settings block. The encoder's threads are not the user's choice but the
// program's: 0 lets the encoder use every core (its frame or slice threads).
struct CompressorChoice {
    uint32_t nFourCC = kFourCCDib;
    int32_t nKeyFrameEvery = 0;
    int32_t nQuality = -1;
    int32_t nDataRateKBps = 0;
    std::vector<uint8_t> settings;
    int32_t nEncoderThreads = 0;
};

// The compressor-choice dialog: a Qt dialog in the program, scripted in tests.
class ICompressorChooser {
  public:
    virtual ~ICompressorChooser() = default;
    // Offers the compressors that accept the input format; nothing when cancelled.
    virtual std::optional<CompressorChoice> Choose(const dib::BitmapInfoHeader& input,
                                                   const CompressorChoice& initial) = 0;
};

}  // namespace platform
