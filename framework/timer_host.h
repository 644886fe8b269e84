#pragma once
// A window that owns timers: ticks arrive later as events on the user-interface thread.
#include <cstdint>

namespace fw {

class ITimerHost {
  public:
    virtual ~ITimerHost() = default;
    // Starts timer nId with the given interval, replacing a running timer with the same id.
    // Returns nId, or 0 when no timer could be started.
    virtual uint32_t SetTimer(uint32_t nId, uint32_t nElapseMs) = 0;
    virtual bool KillTimer(uint32_t nId) = 0;
};

}  // namespace fw
