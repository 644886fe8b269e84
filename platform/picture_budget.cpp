#include "platform/picture_budget.h"

#include <algorithm>
#include <fstream>
#include <string>

namespace platform {

namespace {

constexpr int64_t kPeakBytesPerPixel = 16;

// A number from the first line of strPath; -1 when there is none ("max", no file).
int64_t ReadNumber(const char* pszPath) {
    std::ifstream in(pszPath);
    int64_t llValue = -1;
    return in >> llValue ? llValue : -1;
}

// MemAvailable of /proc/meminfo, in bytes; -1 when it cannot be read.
int64_t SystemAvailableBytes() {
    std::ifstream in("/proc/meminfo");
    for (std::string strKey; in >> strKey;) {
        int64_t llKiB = 0;
        if (!(in >> llKiB)) {
            return -1;
        }
        if (strKey == "MemAvailable:") {
            return llKiB * 1024;
        }
        in.ignore(64, '\n');
    }
    return -1;
}

}  // namespace

int64_t PeakBytesForPicture(int nWidth, int nHeight) {
    return static_cast<int64_t>(std::max(nWidth, 0)) * std::max(nHeight, 0) * kPeakBytesPerPixel;
}

int64_t AvailableMemoryBytes() {
    int64_t llAvailable = SystemAvailableBytes();
    const int64_t llLimit = ReadNumber("/sys/fs/cgroup/memory.max");
    const int64_t llUsed = ReadNumber("/sys/fs/cgroup/memory.current");
    if (llLimit > 0 && llUsed >= 0) {
        const int64_t llLeft = std::max<int64_t>(llLimit - llUsed, 0);
        llAvailable = llAvailable < 0 ? llLeft : std::min(llAvailable, llLeft);
    }
    return llAvailable;
}

PictureFit FitPicture(int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0) {
        return PictureFit::Fits;
    }
    if (static_cast<int64_t>(nWidth) * nHeight > kMaxPicturePixels) {
        return PictureFit::TooManyPixels;
    }
    const int64_t llAvailable = AvailableMemoryBytes();
    if (llAvailable >= 0 && PeakBytesForPicture(nWidth, nHeight) > llAvailable) {
        return PictureFit::TooLittleMemory;
    }
    return PictureFit::Fits;
}

}  // namespace platform
