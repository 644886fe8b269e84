// quovel_write_bench RAW WIDTH HEIGHT FOURCC QUALITY FRAMES
// Writes FRAMES frames through CAviWriter, cycling through the raw BGR24 frames of RAW (top
// row first, as ffmpeg writes them) put into the document's FrameImage as the grabber would.
// Prints "frames=N seconds=S fps=F".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "app/app_state.h"
#include "app/framework/null_services.h"
#include "convert/avi_writer.h"
#include "playback/quovel_doc.h"

namespace {
class FixedChooser final : public platform::ICompressorChooser {
  public:
    explicit FixedChooser(platform::CompressorChoice choice) : m_choice(std::move(choice)) {}
    std::optional<platform::CompressorChoice> Choose(const dib::BitmapInfoHeader&,
                                                     const platform::CompressorChoice&) override {
        return m_choice;
    }

  private:
    platform::CompressorChoice m_choice;
};
}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s RAW WIDTH HEIGHT FOURCC QUALITY FRAMES\n", argv[0]);
        return 2;
    }
    const int w = std::atoi(argv[2]);
    const int h = std::atoi(argv[3]);
    const std::string strTag = argv[4];
    const int nFrames = std::atoi(argv[6]);
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> raw((std::istreambuf_iterator<char>(in)), {});
    const size_t nRawFrame = static_cast<size_t>(w) * h * 3;
    const size_t nSources = raw.size() / nRawFrame;
    if (nSources == 0 || strTag.size() != 4) {
        std::fprintf(stderr, "bad input\n");
        return 1;
    }

    fw::NullUiServices ui;
    fw::NullRecentFileList recent;
    CQuovelDoc doc(ui, recent);
    doc.AllocateImages(w, h);
    FixedChooser chooser({platform::MakeFourCC(strTag[0], strTag[1], strTag[2], strTag[3]),
                          0,
                          std::atoi(argv[5]),
                          0,
                          {}});
    CAviWriter writer(chooser);
    AppState.nRangeStart = 0;
    AppState.nRangeEnd = nFrames - 1;
    const std::string strOut = std::string(argv[1]) + "." + strTag + ".avi";

    const auto t0 = std::chrono::steady_clock::now();
    writer.SetFileName(strOut);
    if (!writer.Open(&doc, w, h)) {
        std::fprintf(stderr, "cannot open the writer\n");
        return 1;
    }
    writer.Start();
    const size_t nRow = dib::RowBytes24(w);
    int nWritten = 0;
    for (int i = 0; i < nFrames; ++i) {
        const uint8_t* pSrc = raw.data() + (static_cast<size_t>(i) % nSources) * nRawFrame;
        uint8_t* pPixels = doc.pFrameImage.get() + dib::kPixelOffset;
        for (int y = 0; y < h; ++y) {
            std::memcpy(pPixels + nRow * (h - 1 - y), pSrc + static_cast<size_t>(y) * w * 3, w * 3);
        }
        AppState.bFrameReady = 1;
        ++nWritten;
        if (writer.WriteFrame() != CAviWriter::kContinue) {
            break;
        }
    }
    writer.Close();
    const double dSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("frames=%d seconds=%.3f fps=%.1f\n", nWritten, dSeconds, nWritten / dSeconds);
    return 0;
}
