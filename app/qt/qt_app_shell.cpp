#include "app/qt/qt_app_shell.h"

#include "app/qt/command_binder.h"
#include "app/qt/main_frame.h"
#include "app/qt/qt_ui_services.h"
#include "view/quovel_view.h"

CQtAppShell::CQtAppShell(CQtUiServices& ui) : m_ui(ui) {}

CQtAppShell::~CQtAppShell() {
    DestroyMainFrame();
}

bool CQtAppShell::CreateMainFrame(CQuovelApp& app) {
    m_pApp = &app;
    m_pFrame = std::make_unique<CMainFrame>(app);
    m_ui.SetParentWindow(m_pFrame.get());
    app.SetFrameTarget(m_pFrame.get());
    app.View().OnInitialUpdate();
    return true;
}

void CQtAppShell::ShowMainWindow() {
    m_pFrame->show();
    m_pFrame->Binder().UpdateAll();
}

void CQtAppShell::DestroyMainFrame() {
    if (!m_pFrame) {
        return;
    }
    m_ui.SetParentWindow(nullptr);
    if (m_pApp != nullptr) {
        m_pApp->SetFrameTarget(nullptr);
    }
    m_pFrame.reset();
}
