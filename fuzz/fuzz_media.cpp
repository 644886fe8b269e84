// Opening and fetching frames from fuzzed media bytes through the media graph.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/media_graph.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const std::string strPath = "/tmp/quovel-fuzz-" + std::to_string(::getpid()) + ".avi";
    if (std::FILE* pFile = std::fopen(strPath.c_str(), "wb")) {
        std::fwrite(pData, 1, nSize, pFile);
        std::fclose(pFile);
    }
    platform::ManualMediaClock clock;
    auto pGraph = platform::MediaGraph::Open(strPath, clock);
    if (!pGraph) {
        return 0;
    }
    dib::BitmapInfoHeader header;
    std::vector<uint8_t> pixels;
    if (pGraph->GetConnectedFormat(header)) {
        pixels.resize(header.biSizeImage);
    }
    pGraph->Run();
    for (int64_t llPos : {0LL, 333'333LL, 20'000'000LL, 1'000'000LL}) {
        clock.Set(llPos);
        int64_t llDuration = 0;
        int64_t llCurrent = 0;
        pGraph->GetDuration(llDuration);
        pGraph->GetCurrentPosition(llCurrent);
        pGraph->CopyCurrentFrame(pixels.empty() ? nullptr : pixels.data(), pixels.size());
    }
    return 0;
}
