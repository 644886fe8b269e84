#pragma once
// The single top-level window: menu bar, status bar and the video view in its client area.
#include <QMainWindow>
#include <array>

#include "app/framework/cmd_target.h"
#include "view/quovel_view.h"

class CQuovelApp;
class CCommandBinder;
class CVideoWidget;
class QLabel;
class QMenu;
class QAction;

class CMainFrame : public QMainWindow, public fw::CCmdTarget, public view::IViewFrame {
    Q_OBJECT
  public:
    explicit CMainFrame(CQuovelApp& app);
    ~CMainFrame() override;

    CCommandBinder& Binder() { return *m_pBinder; }
    int FitWindowToPicture(int nZoom) override;
    void SetStatusText(const std::string& strText) override;

  protected:
    void closeEvent(QCloseEvent* pEvent) override;

  private:
    void BuildMenus();
    void BindAccelerators();
    void RefreshRecentFiles();
    void OnTitleChanged(const std::string& strTitle);

    CQuovelApp& m_app;
    CCommandBinder* m_pBinder = nullptr;
    CVideoWidget* m_pVideo = nullptr;
    QLabel* m_pMessagePane = nullptr;
    QAction* m_pRecentPlaceholder = nullptr;
    std::array<QAction*, 4> m_recentActions{};
};
