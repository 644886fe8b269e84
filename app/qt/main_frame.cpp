#include "app/qt/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>

#include "app/qt/command_binder.h"
#include "app/qt/qt_text.h"
#include "app/quovel_app.h"
#include "effects/qt/effect_settings_dlg.h"
#include "platform/x11_display.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/accelerators.h"
#include "resources/command_prompts.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "resources/toolbar.h"
#include "state/app_state.h"
#include "view/qt/video_widget.h"

// The toolbar icons live in the static UI library's resources, which must be registered.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

using qttext::Ui;

CMainFrame::CMainFrame(CQuovelApp& app)
    : m_app(app),
      m_pDisplayModes(std::make_unique<platform::CXRandrDisplayModes>()),
      m_pVga(std::make_unique<CVgaFullScreen>(*m_pDisplayModes)) {
    InitIconResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/desktop/quovel.xpm")));
    setWindowIcon(QApplication::windowIcon());
    m_pBinder = new CCommandBinder(app.Router(), this);
    m_pVideo = new CVideoWidget(app.View(), *this, this);
    setCentralWidget(m_pVideo);
    // A video file dropped on the picture opens as the open command would, when it may.
    m_pVideo->SetFileDropHandler([this](const std::string& strPath) {
        if (!CQuovelDoc::CanOpen()) {
            return false;
        }
        m_app.Doc().OpenFilePath(strPath);
        return true;
    });
    OnCreate();
    app.Doc().SetTitleListener([this](const std::string& strTitle) { OnTitleChanged(strTitle); });
    OnTitleChanged(app.Doc().GetTitle());
    app.View().SetEffectDialogHost(this);
    resize(400, 360);
    // A display-mode change reaches Qt some time after it took effect: full screen follows.
    auto followScreen = [this](QScreen* pScreen) {
        connect(pScreen, &QScreen::geometryChanged, this, &CMainFrame::CoverScreen);
    };
    for (QScreen* pScreen : QGuiApplication::screens()) {
        followScreen(pScreen);
    }
    connect(qApp, &QGuiApplication::screenAdded, this, followScreen);
}

CMainFrame::~CMainFrame() {
    m_app.View().SetEffectDialogHost(nullptr);
    if (AppState.pEffectDlg != nullptr) {
        CloseEffectDialog();
    }
    m_app.Doc().SetTitleListener({});
}

void CMainFrame::OpenEffectDialog(int nKind) {
    auto* pDialog = new CEffectSettingsDlg(this);  // owned through AppState.pEffectDlg
    AppState.pEffectDlg = pDialog;
    pDialog->SetKind(nKind);
    if (m_effectDlgPos) {
        pDialog->move(*m_effectDlgPos);
    } else if (const auto beside = PlaceBeside(frameGeometry(), pDialog->size(), screen())) {
        pDialog->move(*beside);  // the picture stays in view while the sliders move
    }
    pDialog->installEventFilter(this);
    pDialog->show();
}

void CMainFrame::CloseEffectDialog() {
    delete AppState.pEffectDlg;  // its destructor clears the pointer
    AppState.pEffectDlg = nullptr;
}

bool CMainFrame::EffectDialogOpen() const {
    return AppState.pEffectDlg != nullptr;
}

bool CMainFrame::event(QEvent* pEvent) {
    // A command under the pointer shows its prompt over the message pane; once the pointer
    // leaves, the pane is idle again, unless a conversion is reporting its progress there.
    if (pEvent->type() == QEvent::StatusTip && !AppState.bConverting) {
        m_pMessagePane->setText(Ui(str::kStatusReady));
    }
    return QMainWindow::event(pEvent);
}

void CMainFrame::keyPressEvent(QKeyEvent* pEvent) {
    // The keys players use for full screen; not commands, so they stay out of the table.
    if (pEvent->key() == Qt::Key_Escape && pEvent->modifiers() == Qt::NoModifier) {
        m_app.View().OnEscapeKey();
        return;
    }
    if (pEvent->key() == Qt::Key_F11 && pEvent->modifiers() == Qt::NoModifier) {
        m_app.View().OnViewFullScreen();
        return;
    }
    QMainWindow::keyPressEvent(pEvent);
}

bool CMainFrame::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::Move && pWatched == AppState.pEffectDlg &&
        AppState.pEffectDlg->isVisible()) {
        m_effectDlgPos = AppState.pEffectDlg->pos();
    }
    return QMainWindow::eventFilter(pWatched, pEvent);
}

void CMainFrame::OnCreate() {
    OnCommand(cmd::kAppExit, [this] { close(); });
    BuildMenus();
    BuildToolBar();
    BuildPositionBar();
    BuildStatusBar();
    BindAccelerators();
}

void CMainFrame::BuildMenus() {
    for (const res::MenuDef& def : res::MainMenu()) {
        QMenu* pMenu = menuBar()->addMenu(Ui(def.pszTitle));
        m_pBinder->UpdateOnShow(pMenu);
        for (const res::MenuEntry& entry : def.entries) {
            switch (entry.kind) {
                case res::MenuEntryKind::Separator:
                    pMenu->addSeparator();
                    break;
                case res::MenuEntryKind::RecentFiles:
                    m_pRecentPlaceholder = pMenu->addAction(Ui(entry.pszText));
                    m_pRecentPlaceholder->setEnabled(false);
                    for (size_t i = 0; i < m_recentActions.size(); ++i) {
                        const auto nId = static_cast<cmd::Id>(cmd::kFileMruFirst + i);
                        m_recentActions[i] = m_pBinder->Action(nId, QString());
                        m_recentActions[i]->setStatusTip(Ui(res::StatusPrompt(nId)));
                        pMenu->addAction(m_recentActions[i]);
                    }
                    connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::RefreshRecentFiles);
                    break;
                case res::MenuEntryKind::Item: {
                    QString strText = Ui(entry.pszText);
                    if (const char* pszKey = entry.bShowsKey ? res::ShownKey(entry.nId) : nullptr) {
                        strText += '\t' + Ui(pszKey);  // shown only: the binder binds the keys
                    }
                    QAction* pAction = m_pBinder->Action(entry.nId, strText);
                    pAction->setStatusTip(Ui(res::StatusPrompt(entry.nId)));
                    pMenu->addAction(pAction);
                    break;
                }
            }
        }
    }
    RefreshRecentFiles();
}

void CMainFrame::BuildToolBar() {
    m_pToolBar = new QToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("toolbar133"));
    m_pToolBar->setIconSize(QSize(res::kToolButtonWidth, res::kToolButtonHeight));
    for (const cmd::Id nId : res::ToolBarButtons()) {
        if (nId == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        auto* pButton = new QToolButton(m_pToolBar);
        pButton->setIcon(QIcon(Ui(res::ToolBarIcon(nId))));
        pButton->setToolTip(Ui(res::ToolTip(nId)));
        pButton->setStatusTip(Ui(res::StatusPrompt(nId)));
        pButton->setAutoRaise(true);
        m_pToolBar->addWidget(pButton);
        m_pBinder->AddButton(nId, pButton);
        m_toolButtons[nId] = pButton;
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
}

void CMainFrame::BindAccelerators() {
    for (const res::Accelerator& accel : res::Accelerators()) {
        auto* pShortcut = new QShortcut(QKeySequence(Ui(accel.pszKey)), this);
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
            m_recentActions[i]->setText(
                QStringLiteral("&%1 %2").arg(i + 1).arg(Ui(entries[i]).replace('&', "&&")));
        }
    }
}

QToolButton* CMainFrame::ToolButton(cmd::Id nId) const {
    auto it = m_toolButtons.find(nId);
    return it == m_toolButtons.end() ? nullptr : it->second;
}

void CMainFrame::UpdateToolBarButtons(int nZoom, int bFullScreen) {
    const CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr) {
        return;
    }
    for (const view::ToolBarStep& step :
         view::ToolBarButtonStates(pGrabber->bPlaying != 0, pGrabber->bHasFile != 0,
                                   AppState.bConverting != 0, nZoom, bFullScreen == 1)) {
        if (step.bCheck) {
            SetButtonCheck(step.nId, step.bOn ? 1 : 0);
        } else if (QToolButton* pButton = ToolButton(step.nId)) {
            pButton->setEnabled(step.bOn);
        }
    }
}

void CMainFrame::SetButtonCheck(cmd::Id nId, int nState) {
    if (QToolButton* pButton = ToolButton(nId)) {
        pButton->setChecked((nState & 0xFFFF) != 0);
    }
}

void CMainFrame::CloseWithoutAsking() {
    m_bCloseWithoutAsking = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    // The user's close during a conversion asks first. A termination signal that arrives
    // while the question is up closes the window all the same.
    if (!m_bCloseWithoutAsking && !m_app.MayCloseMainWindow() && !m_bCloseWithoutAsking) {
        pEvent->ignore();
        return;
    }
    // Every way of closing the window comes here; the colour dialog goes with it, so that
    // nothing is left on screen and the program ends.
    m_app.OnMainWindowClosing();
    if (AppState.pEffectDlg != nullptr) {
        CloseEffectDialog();
    }
    m_pVga->Leave();  // the display is left in the mode the user had
    pEvent->accept();
}
