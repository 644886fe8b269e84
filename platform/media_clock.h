#pragma once
// The clock a running media graph takes its position from, in 100 ns units.
#include <cstdint>
#include <functional>

namespace platform {

// Media time: positions, durations and clock readings count 100 ns units.
inline constexpr int64_t kMediaUnitsPerSecond = 10'000'000;
// The stream's positions (its length, a conversion's range, the command line's frames) count
// thirtieths of a second, whatever the file's own rate.
inline constexpr int64_t kStreamPositionsPerSecond = 30;

class IMediaClock {
  public:
    virtual ~IMediaClock() = default;
    virtual int64_t Now() const = 0;
};

// Wall time from the steady clock: the program's clock.
class SteadyMediaClock final : public IMediaClock {
  public:
    int64_t Now() const override;
};

// A clock that moves only when told: tests and benchmarks choose every position exactly.
class ManualMediaClock final : public IMediaClock {
  public:
    int64_t Now() const override { return m_llNow; }
    void Advance(int64_t llUnits) { m_llNow += llUnits; }
    void Set(int64_t llNow) { m_llNow = llNow; }

  private:
    int64_t m_llNow = 0;
};

// The picture's clock while sound plays: it then moves as the sound is heard, so that the
// picture keeps to the sound (however the device's clock drifts or stalls), and with the base
// clock otherwise. It never jumps when it changes over.
class SoundPacedClock final : public IMediaClock {
  public:
    explicit SoundPacedClock(const IMediaClock& base) : m_base(base) {}
    int64_t Now() const override;
    // From now on the reading moves as heard() does: units of the sound heard since it
    // started, 0 now.
    void Follow(std::function<int64_t()> heard);
    // Back to the base clock, from the reading reached.
    void Release();

  private:
    const IMediaClock& m_base;
    std::function<int64_t()> m_heard;
    int64_t m_llOffset = 0;  // this reading minus the base's, while not following
    int64_t m_llAnchor = 0;  // the reading when the sound started
};

}  // namespace platform
