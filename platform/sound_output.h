#pragma once
// A sound device stream: signed 16-bit samples, channels interleaved, pushed by the caller
// as room frees up. The desktop program's is the sound server's; tests use a stand-in.
#include <cstddef>
#include <cstdint>

namespace platform {

class ISoundOutput {
  public:
    virtual ~ISoundOutput() = default;
    // Opens a stream; false when there is no device or server to play it on.
    virtual bool Start(int nSampleRate, int nChannels) = 0;
    virtual void Stop() = 0;
    // Bytes the stream takes now without waiting.
    virtual size_t BytesFree() const = 0;
    // Queues up to nBytes; the bytes taken.
    virtual size_t Write(const uint8_t* pData, size_t nBytes) = 0;
    // How much of the stream has been heard since Start, in microseconds: it stays 0 until
    // the first sample leaves the speaker and then moves with the device's own clock.
    virtual int64_t HeardMicroseconds() const = 0;
    // 0 (silent) to 1 (as recorded).
    virtual void SetVolume(double dVolume) = 0;
};

}  // namespace platform
