#pragma once
// The sound played with the picture: the file's sound from the picture's position, fed to
// the sound device a tick at a time, with the picture's clock following what is heard.
// Without a device, or for a file whose sound does not decode, nothing plays and the clock
// stays on its base: the picture plays as it would without sound.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media_clock.h"
#include "platform/sound_output.h"
#include "platform/sound_reader.h"

class CSoundPlayback {
  public:
    // A device heard nothing of for this long, though fed, is given up: the picture goes on
    // with the base clock rather than wait for it.
    static constexpr int64_t kStallUnits = 2 * platform::kMediaUnitsPerSecond;

    // clock: the picture's clock, steered here; base: the clock it falls back on.
    CSoundPlayback(platform::SoundPacedClock& clock, const platform::IMediaClock& base)
        : m_clock(clock), m_base(base) {}
    ~CSoundPlayback();
    CSoundPlayback(const CSoundPlayback&) = delete;
    CSoundPlayback& operator=(const CSoundPlayback&) = delete;

    void SetOutput(platform::ISoundOutput* pOutput);
    // Plays the file's sound from llPosition (100 ns units from the first video frame,
    // which is llOriginMicroseconds on the file's clock).
    void Start(const std::string& strPath, int64_t llOriginMicroseconds, int64_t llPosition);
    void Stop();
    // Keeps the device fed; once the sound has ended and been heard, or the device stalls,
    // the clock goes back to its base.
    void Pump();
    bool Playing() const { return m_pReader != nullptr; }
    // 0 to 1, for this stream and the ones after.
    void SetVolume(double dVolume);
    // How far the picture runs ahead of the sound it goes with (100 ns units). A picture is
    // drawn on a tick and stays until the next; with half a tick's lead the sound heard
    // while it shows is centred on it, rather than always behind.
    void SetPictureLead(int64_t llUnits) { m_llPictureLead = llUnits; }

  private:
    void Feed();
    int64_t HeardUnits() const;

    platform::SoundPacedClock& m_clock;
    const platform::IMediaClock& m_base;
    platform::ISoundOutput* m_pOutput = nullptr;
    std::unique_ptr<platform::SoundReader> m_pReader;
    platform::PcmFormat m_format;
    std::vector<uint8_t> m_pending;  // read from the file, not taken by the device yet
    size_t m_nPendingAt = 0;
    int64_t m_llBytesWritten = 0;
    bool m_bEnded = false;      // the reader has given its last byte
    int64_t m_llLastHeard = 0;  // the heard time seen last, and when it last moved
    int64_t m_llLastMoveAt = 0;
    double m_dVolume = 1.0;
    int64_t m_llPictureLead = 0;
};
