#pragma once
// Test clips made with the ffmpeg command-line tool at test time, and a reader for the
// frame index that every indexed clip carries as ten black-or-white vertical bands
// (band b is white when bit b of the frame number is set).
#include <cstdint>
#include <string>
#include <vector>

namespace testmedia {

// Folder for generated media; made on first use, shared by the test processes.
const std::string& MediaDir();

// Runs `ffmpeg -v error -y <args> <out>` once and caches the result under a name derived
// from prefix, args and extension. Returns the path, or "" when ffmpeg failed.
std::string MakeClip(const std::string& strPrefix, const std::string& strArgs,
                     const std::string& strExt);

struct ClipSpec {
    int nWidth = 320;
    int nHeight = 240;
    int nRate = 30;
    int nFrames = 60;
    std::string strCodecArgs = "-c:v mpeg4 -q:v 2";
    std::string strExt = "avi";
};
// A clip whose frames carry their own index.
std::string IndexedClip(const ClipSpec& recipe);
// The same at a rate nRate cannot say ("24000/1001"); recipe.nRate is not used.
std::string IndexedClipAtRate(const ClipSpec& recipe, const std::string& strRate);

// 4 s of AVI at 30 fps whose first half is black and second half noise: cut short, its
// length (guessed from its size by the demuxer) falls well short of the frames it holds.
std::string TruncatableClip();

// The frame index read from a bottom-up BGR24 picture with rows padded to 4 bytes;
// -1 when a band is neither clearly black nor clearly white.
int ReadIndex(const uint8_t* pPixels, int nWidth, int nHeight);

// A file of the given bytes in the media folder.
std::string WriteFile(const std::string& strName, const std::string& strBytes);
// A file's bytes, all of them ("" when it cannot be read).
std::string ReadFile(const std::string& strPath);

// Independent readers: the ffmpeg tools, not our own code.
// Standard output of a shell command.
std::string Shell(const std::string& strCommand);
// The first video stream's entries from ffprobe (after counting frames), space-separated.
std::string Probe(const std::string& strPath, const char* pszEntries);
// Every frame as ffmpeg decodes it, 24-bit BGR, top row first, rows unpadded.
std::vector<std::vector<uint8_t>> DecodeAll(const std::string& strPath, int nWidth, int nHeight);
// The first audio stream as ffmpeg decodes it: mono 16-bit samples at 44.1 kHz.
std::vector<int16_t> DecodeSound(const std::string& strPath);
// Where each tone of a sound starts, in seconds: a sample louder than nLoud after at least
// dQuietSeconds of quiet (the defaults: DecodeSound's rate, tones at 0.8 of full scale).
std::vector<double> ToneStarts(const std::vector<int16_t>& samples, int nRate = 44100,
                               int nLoud = 8000, double dQuietSeconds = 0.2);
// The frame index each decoded frame carries.
std::vector<int> DecodedIndices(const std::string& strPath, int nWidth, int nHeight);

}  // namespace testmedia
