#include "platform/media_clock.h"

#include <chrono>

namespace platform {

int64_t SteadyMediaClock::Now() const {
    using Units = std::chrono::duration<int64_t, std::ratio<1, 10'000'000>>;
    return std::chrono::duration_cast<Units>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t SoundPacedClock::Now() const {
    return m_heard ? m_llAnchor + m_heard() : m_base.Now() + m_llOffset;
}

void SoundPacedClock::Follow(std::function<int64_t()> heard) {
    m_llAnchor = Now();
    m_heard = std::move(heard);
}

void SoundPacedClock::Release() {
    const int64_t llNow = Now();
    m_heard = nullptr;
    m_llOffset = llNow - m_base.Now();
}

}  // namespace platform
