#include "cli/interrupt_guard.h"

namespace cli {
namespace {

volatile std::sig_atomic_t g_nInterruption = 0;  // the signal that asked to stop, or 0
extern "C" void OnInterrupt(int nSignal) {
    g_nInterruption = nSignal;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_nInterruption = 0;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        m_previous[i] = std::signal(
            kSignals[i], kSignals[i] == SIGPIPE || kSignals[i] == SIGXFSZ ? SIG_IGN : OnInterrupt);
    }
}

InterruptGuard::~InterruptGuard() {
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        std::signal(kSignals[i], m_previous[i]);
    }
}

int InterruptGuard::Signal() const {
    return g_nInterruption;
}

}  // namespace cli
