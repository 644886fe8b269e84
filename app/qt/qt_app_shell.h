#pragma once
// Start-up's windowing side in Qt: builds and shows the main frame.
#include <memory>

#include "app/quovel_app.h"

class CMainFrame;
class CQtUiServices;

class CQtAppShell final : public IAppShell {
  public:
    explicit CQtAppShell(CQtUiServices& ui);
    ~CQtAppShell() override;
    bool CreateMainFrame(CQuovelApp& app) override;
    void ShowMainWindow() override;
    // Destroys the frame (and with it the view's window) before the application exits.
    void DestroyMainFrame();
    CMainFrame* Frame() { return m_pFrame.get(); }

  private:
    CQtUiServices& m_ui;
    CQuovelApp* m_pApp = nullptr;
    std::unique_ptr<CMainFrame> m_pFrame;
};
