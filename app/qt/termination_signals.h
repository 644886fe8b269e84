#pragma once
// SIGINT and SIGTERM close the main window as the exit command does: the settings are written
// and a running conversion is completed. The handler only writes to a pipe; the closing
// happens on the user-interface thread. The previous handlers come back when this goes.
#include <QObject>
#include <csignal>

class QSocketNotifier;
class QWidget;

class CTerminationSignals final : public QObject {
    Q_OBJECT
  public:
    explicit CTerminationSignals(QWidget* pMainWindow);
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

  private:
    void OnSignalled();

    QWidget* m_pMainWindow;
    QSocketNotifier* m_pNotifier = nullptr;
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
    bool m_bInstalled = false;
};
