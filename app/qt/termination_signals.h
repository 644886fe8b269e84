#pragma once
// SIGINT and SIGTERM close the program as the exit command does: a modal dialog that is open
// is cancelled, then the main window closes, so that the settings are written and a running
// conversion is completed. The handler only writes to a pipe; the closing happens on the
// user-interface thread. The previous handlers come back when this goes.
#include <QObject>
#include <csignal>
#include <functional>

class QSocketNotifier;

class CTerminationSignals final : public QObject {
    Q_OBJECT
  public:
    // closeMainWindow closes the main window, if there is one yet, without asking anything.
    explicit CTerminationSignals(std::function<void()> closeMainWindow);
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

    // A signal arrived: the program is to end, even if it came before the event loop ran.
    bool Requested() const { return m_bRequested; }

  private:
    void OnSignalled();

    std::function<void()> m_closeMainWindow;
    bool m_bRequested = false;
    QSocketNotifier* m_pNotifier = nullptr;
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
    bool m_bInstalled = false;
};
