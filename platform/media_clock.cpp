#include "platform/media_clock.h"

#include <chrono>

namespace platform {

int64_t SteadyMediaClock::Now() const {
    using Units = std::chrono::duration<int64_t, std::ratio<1, 10'000'000>>;
    return std::chrono::duration_cast<Units>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace platform
