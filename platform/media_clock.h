#pragma once
// The clock a running media graph takes its position from, in 100 ns units.
#include <cstdint>

namespace platform {

// Media time: positions, durations and clock readings count 100 ns units.
inline constexpr int64_t kMediaUnitsPerSecond = 10'000'000;

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

}  // namespace platform
