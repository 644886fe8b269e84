#pragma once
// The signals a conversion takes, for as long as it lives: those that would end the process
// (Ctrl+C, a termination request, a terminal that goes away) are noted instead, for the
// conversion's loop to stop and complete the file; a closed pipe on standard error is
// ignored, and so is a file grown past the size limit (the write fails and says so, and the
// file is completed). One guard at a time.
#include <csignal>
#include <iterator>

namespace cli {

class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // The signal that asked to stop since the guard began, or 0.
    int Signal() const;

  private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ};
    void (*m_previous[std::size(kSignals)])(int) = {};
};

}  // namespace cli
