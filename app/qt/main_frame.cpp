#include "app/qt/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>

#include "app/app_state.h"
#include "app/qt/command_binder.h"
#include "app/quovel_app.h"
#include "playback/quovel_doc.h"
#include "resources/accelerators.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "view/qt/video_widget.h"

CMainFrame::CMainFrame(CQuovelApp& app) : m_app(app) {
    m_pBinder = new CCommandBinder(app.Router(), this);
    m_pVideo = new CVideoWidget(app.View(), *this, this);
    setCentralWidget(m_pVideo);

    m_pMessagePane = new QLabel(QString::fromUtf8(str::kStatusReady), this);
    statusBar()->addWidget(m_pMessagePane, 1);

    OnCommand(cmd::kAppExit, [this] { close(); });
    BuildMenus();
    BindAccelerators();

    app.Doc().SetTitleListener([this](const std::string& strTitle) { OnTitleChanged(strTitle); });
    OnTitleChanged(app.Doc().GetTitle());
    resize(400, 360);
}

CMainFrame::~CMainFrame() {
    m_app.Doc().SetTitleListener({});
}

void CMainFrame::BuildMenus() {
    for (const res::MenuDef& def : res::MainMenu()) {
        QMenu* pMenu = menuBar()->addMenu(QString::fromUtf8(def.pszTitle));
        m_pBinder->UpdateOnShow(pMenu);
        for (const res::MenuEntry& entry : def.entries) {
            switch (entry.kind) {
                case res::MenuEntryKind::Separator:
                    pMenu->addSeparator();
                    break;
                case res::MenuEntryKind::RecentFiles:
                    m_pRecentPlaceholder = pMenu->addAction(QString::fromUtf8(entry.pszText));
                    m_pRecentPlaceholder->setEnabled(false);
                    for (size_t i = 0; i < m_recentActions.size(); ++i) {
                        m_recentActions[i] = m_pBinder->Action(
                            static_cast<cmd::Id>(cmd::kFileMruFirst + i), QString());
                        pMenu->addAction(m_recentActions[i]);
                    }
                    connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::RefreshRecentFiles);
                    break;
                case res::MenuEntryKind::Item: {
                    QString strText = QString::fromUtf8(entry.pszText);
                    if (entry.pszShown != nullptr) {
                        strText += '\t' + QString::fromUtf8(entry.pszShown);
                    }
                    pMenu->addAction(m_pBinder->Action(entry.nId, strText));
                    break;
                }
            }
        }
    }
    RefreshRecentFiles();
}

void CMainFrame::BindAccelerators() {
    for (const res::Accelerator& accel : res::Accelerators()) {
        auto* pShortcut = new QShortcut(QKeySequence(QString::fromUtf8(accel.pszKey)), this);
        const cmd::Id nId = accel.nId;
        connect(pShortcut, &QShortcut::activated, this,
                [this, nId] { m_pBinder->ExecuteIfEnabled(nId); });
    }
}

void CMainFrame::RefreshRecentFiles() {
    const std::vector<std::string>& entries = m_app.RecentFiles().Entries();
    m_pRecentPlaceholder->setVisible(entries.empty());
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        const bool bUsed = i < entries.size();
        m_recentActions[i]->setVisible(bUsed);
        if (bUsed) {
            // "&1 path", the digit doubling as the mnemonic.
            m_recentActions[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(
                QString::fromStdString(entries[i]).replace('&', "&&")));
        }
    }
}

void CMainFrame::OnTitleChanged(const std::string& strTitle) {
    setWindowTitle(QString::fromStdString(strTitle) + QString::fromUtf8(str::kTitleSeparator) +
                   QString::fromUtf8(str::kAppTitle));
}

int CMainFrame::FitWindowToPicture(int nZoom) {
    if (nZoom == 0) {
        return 0;
    }
    // Grow or shrink the frame by what its client area lacks for the zoomed picture.
    const int nWidth = width() - m_pVideo->width() + nZoom * AppState.nVideoWidth;
    const int nHeight = height() - m_pVideo->height() + nZoom * AppState.nVideoHeight;
    resize(nWidth, nHeight);
    return 1;
}

void CMainFrame::SetStatusText(const std::string& strText) {
    m_pMessagePane->setText(QString::fromStdString(strText));
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    m_app.OnMainWindowClosing();
    pEvent->accept();
}
