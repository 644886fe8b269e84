#pragma once
// Whole conversions through the document's commands and timer ticks: the fixture and the
// read-back helpers the conversion tests share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/avi_writer.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "support/test_media.h"

namespace conversiontest {

using testmedia::Shell;

inline std::vector<int> Indices(const std::string& strPath, int w, int h) {
    return testmedia::DecodedIndices(strPath, w, h);
}

// Luma PSNR of a file's frames against another's, as FFmpeg's psnr filter measures it.
inline double LumaPsnr(const std::string& strA, const std::string& strB) {
    const std::string strOut =
        Shell("ffmpeg -nostdin -i '" + strA + "' -i '" + strB +
              "' -lavfi '[0:v]format=yuv420p[a];[1:v]format=yuv420p[b];[a][b]psnr' -f null - 2>&1 "
              "| sed -n 's/.*PSNR y:\\([0-9.]*\\).*/\\1/p'");
    return strOut.empty() ? 0.0 : std::stod(strOut);
}

// The first frame's pixel at (x, y), B G R, as ffmpeg decodes the file.
inline std::vector<int> PixelOf(const std::string& strPath, int w, int h, int x, int y) {
    const auto frames = testmedia::DecodeAll(strPath, w, h);
    if (frames.empty()) {
        return {};
    }
    const uint8_t* p = frames[0].data() + (static_cast<size_t>(y) * w + x) * 3;
    return {p[0], p[1], p[2]};
}

inline std::vector<int> Sequence(int nStart, int nStep, int nCount) {
    std::vector<int> v;
    for (int i = 0; i < nCount; ++i) {
        v.push_back(nStart + i * nStep);
    }
    return v;
}

class ConversionRunTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    void SetUp() override {
        chooser.answer = platform::CompressorChoice{platform::kFourCCDib, 0, -1, 0, {}};
    }

    void OpenSource(const std::string& strPath) {
        ui.answers.push_back(strPath);
        doc.OnFileOpen();
        doc.OnPlayStop();
        doc.OnPlaybackTick(1);
    }
    // The convert command, then ticks until the conversion ends (or nMaxTicks).
    void Convert(const std::string& strDest, int nMaxTicks = 10000) {
        ui.saveAnswers.push_back(strDest);
        doc.OnFileConvert();
        for (int i = 0; i < nMaxTicks && AppState.bConverting; ++i) {
            clock.Advance(100'000);
            doc.OnPlaybackTick(1);
        }
    }
    std::string Dest(const char* pszName) const { return testmedia::MediaDir() + "/" + pszName; }
    std::string Dest(const std::string& strName) const { return Dest(strName.c_str()); }
    void UseCompressor(char a, char b, char c, char d, int nQuality) {
        chooser.answer =
            platform::CompressorChoice{platform::MakeFourCC(a, b, c, d), 0, nQuality, 0, {}};
    }
};

}  // namespace conversiontest
