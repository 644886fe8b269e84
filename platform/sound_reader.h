#pragma once
// The sound of a video file as a sound device plays it: its first audio stream from a
// picture position on, as signed 16-bit samples, channels interleaved, silence where the
// sound starts late or has gaps, so that each byte keeps its place beside the picture.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct PcmFormat {
    int nSampleRate = 0;
    int nChannels = 0;  // 1 or 2
    int BytesPerFrame() const { return 2 * nChannels; }
};

class SoundReader {
  public:
    // Null when the file has no first audio stream that decodes. llPosition counts 100 ns
    // units from the first video frame, which is llOriginMicroseconds on the file's clock.
    static std::unique_ptr<SoundReader> Open(const std::string& strPath,
                                             int64_t llOriginMicroseconds, int64_t llPosition);
    ~SoundReader();
    SoundReader(const SoundReader&) = delete;
    SoundReader& operator=(const SoundReader&) = delete;

    PcmFormat Format() const;
    // The next bytes of the sound, whole sample frames, at most nBytes; 0 once it has ended
    // (or stopped decoding).
    size_t Read(uint8_t* pDst, size_t nBytes);

  private:
    struct Impl;
    explicit SoundReader(std::unique_ptr<Impl> pImpl);
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace platform
