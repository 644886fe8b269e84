#include "support/test_media.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/dib.h"

namespace testmedia {
namespace fs = std::filesystem;

const std::string& MediaDir() {
    static const std::string strDir = [] {
        const char* pszBase = std::getenv("QUOVEL_TEST_MEDIA");
        fs::path dir = pszBase != nullptr ? fs::path(pszBase)
                                          : fs::temp_directory_path() / "quovel-test-media";
        fs::create_directories(dir);
        return dir.string();
    }();
    return strDir;
}

std::string MakeClip(const std::string& strPrefix, const std::string& strArgs,
                     const std::string& strExt) {
    std::ostringstream name;
    name << strPrefix << '-' << std::hex << std::hash<std::string>{}(strArgs) << '.' << strExt;
    const fs::path path = fs::path(MediaDir()) / name.str();
    if (fs::exists(path)) {
        return path.string();
    }
    // Write under a private name, then rename: parallel test processes may race here.
    const fs::path temp = path.string() + ".tmp" + std::to_string(::getpid()) + "." + strExt;
    const std::string strCommand =
        "ffmpeg -nostdin -v error -y " + strArgs + " '" + temp.string() + "' 2>&1";
    if (std::system(strCommand.c_str()) != 0) {
        fs::remove(temp);
        return "";
    }
    fs::rename(temp, path);
    return path.string();
}

std::string IndexedClip(const ClipSpec& recipe) {
    return IndexedClipAtRate(recipe, std::to_string(recipe.nRate));
}

std::string IndexedClipAtRate(const ClipSpec& recipe, const std::string& strRate) {
    std::ostringstream args;
    // The colour source rounds odd sizes down: make it even and crop to the size wanted.
    args << "-f lavfi -i color=c=black:s=" << (recipe.nWidth + 1) / 2 * 2 << 'x'
         << (recipe.nHeight + 1) / 2 * 2 << ":r=" << strRate << " -frames:v " << recipe.nFrames
         << " -vf \"crop=" << recipe.nWidth << ':' << recipe.nHeight
         << ":0:0:exact=1,geq=lum='255*mod(floor(N/pow(2,floor(X*10/W))),2)':cb=128:cr=128\" "
         << recipe.strCodecArgs;
    return MakeClip("indexed", args.str(), recipe.strExt);
}

int ReadIndex(const uint8_t* pPixels, int nWidth, int nHeight) {
    const size_t nRow = dib::RowBytes24(nWidth);
    const uint8_t* pMiddleRow = pPixels + nRow * static_cast<size_t>(nHeight / 2);
    int nIndex = 0;
    for (int b = 0; b < 10; ++b) {
        const int x = (2 * b + 1) * nWidth / 20;
        const uint8_t* p = pMiddleRow + x * 3;
        const int nLuma = (p[0] + p[1] + p[2]) / 3;
        if (nLuma > 160) {
            nIndex |= 1 << b;
        } else if (nLuma > 96) {
            return -1;
        }
    }
    return nIndex;
}

std::string WriteFile(const std::string& strName, const std::string& strBytes) {
    const fs::path path = fs::path(MediaDir()) / strName;
    // Under a private name, then renamed: test processes running side by side may write the
    // same file while another reads it.
    const fs::path temp = path.string() + ".tmp" + std::to_string(::getpid());
    std::ofstream(temp, std::ios::binary) << strBytes;
    fs::rename(temp, path);
    return path.string();
}

std::string ReadFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string Shell(const std::string& strCommand) {
    std::string strOut;
    if (FILE* p = popen(strCommand.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), p)) > 0) {
            strOut.append(buf, n);
        }
        pclose(p);
    }
    return strOut;
}

std::string Probe(const std::string& strPath, const char* pszEntries) {
    std::string s =
        Shell("ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=" +
              std::string(pszEntries) + " -of default=nw=1:nk=1 '" + strPath + "'");
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) {
        s.pop_back();
    }
    for (char& c : s) {
        c = c == '\n' ? ' ' : c;
    }
    return s;
}

std::string TruncatableClip() {
    return MakeClip("truncatable",
                    "-f lavfi -i testsrc2=s=160x120:r=30:d=4 -vf \"noise=alls=80:allf=t,"
                    "drawbox=c=black:t=fill:enable='lt(t,2)'\" -c:v mpeg4 -q:v 2",
                    "avi");
}

std::vector<std::vector<uint8_t>> DecodeAll(const std::string& strPath, int w, int h) {
    const std::string strRaw = Shell("ffmpeg -v error -i '" + strPath +
                                     "' -vsync passthrough -f rawvideo -pix_fmt bgr24 -");
    std::vector<std::vector<uint8_t>> frames;
    const size_t nFrame = static_cast<size_t>(w) * h * 3;
    for (size_t i = 0; i + nFrame <= strRaw.size(); i += nFrame) {
        frames.emplace_back(strRaw.begin() + static_cast<ptrdiff_t>(i),
                            strRaw.begin() + static_cast<ptrdiff_t>(i + nFrame));
    }
    return frames;
}

std::vector<int16_t> DecodeSound(const std::string& strPath) {
    const std::string strRaw =
        Shell("ffmpeg -v error -i '" + strPath + "' -map 0:a:0 -f s16le -ac 1 -ar 44100 -");
    std::vector<int16_t> samples(strRaw.size() / 2);
    std::memcpy(samples.data(), strRaw.data(), samples.size() * 2);
    return samples;
}

std::vector<double> ToneStarts(const std::vector<int16_t>& samples, int nRate, int nLoud,
                               double dQuietSeconds) {
    const auto llQuiet = static_cast<int64_t>(dQuietSeconds * nRate);
    std::vector<double> starts;
    int64_t llLastLoud = -llQuiet - 1;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > nLoud) {
            if (static_cast<int64_t>(i) - llLastLoud > llQuiet) {
                starts.push_back(static_cast<double>(i) / nRate);
            }
            llLastLoud = static_cast<int64_t>(i);
        }
    }
    return starts;
}

std::vector<int> DecodedIndices(const std::string& strPath, int w, int h) {
    std::vector<int> indices;
    std::vector<uint8_t> bottomUp(dib::RowBytes24(w) * static_cast<size_t>(h));
    for (const std::vector<uint8_t>& frame : DecodeAll(strPath, w, h)) {
        for (int y = 0; y < h; ++y) {
            std::memcpy(bottomUp.data() + dib::RowBytes24(w) * static_cast<size_t>(h - 1 - y),
                        frame.data() + static_cast<size_t>(y) * w * 3, static_cast<size_t>(w) * 3);
        }
        indices.push_back(ReadIndex(bottomUp.data(), w, h));
    }
    return indices;
}

}  // namespace testmedia
