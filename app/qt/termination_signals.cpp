#include "app/qt/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

namespace {
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}
}  // namespace

CTerminationSignals::CTerminationSignals(std::function<void()> closeMainWindow)
    : m_closeMainWindow(std::move(closeMainWindow)) {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_pNotifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CTerminationSignals::OnSignalled);
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &m_oldInt);
    ::sigaction(SIGTERM, &action, &m_oldTerm);
    m_bInstalled = true;
}

CTerminationSignals::~CTerminationSignals() {
    if (!m_bInstalled) {
        return;
    }
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    delete m_pNotifier;
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

void CTerminationSignals::OnSignalled() {
    char buf[16];
    while (::read(g_signalPipe[0], buf, sizeof(buf)) > 0) {
    }
    m_bRequested = true;
    // A modal dialog runs a loop of its own: cancelled, it hands control back to the caller,
    // which then finds the window closing. Each close takes a dialog off the modal stack.
    for (int i = 0; i < 16; ++i) {
        QWidget* pModal = QApplication::activeModalWidget();
        if (pModal == nullptr) {
            break;
        }
        pModal->close();
    }
    m_closeMainWindow();
}
