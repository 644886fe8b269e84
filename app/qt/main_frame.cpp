#include "app/qt/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

#include "app/app_state.h"
#include "app/qt/command_binder.h"
#include "app/quovel_app.h"
#include "convert/conversion_progress.h"
#include "effects/qt/effect_settings_dlg.h"
#include "platform/x11_display.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/accelerators.h"
#include "resources/command_prompts.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "resources/toolbar.h"
#include "view/qt/video_widget.h"

// The toolbar icons live in the static UI library's resources, which must be registered.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace {
QString Ui(const std::string& str) {
    return QString::fromStdString(str);
}
QString Ui(const char* psz) {
    return QString::fromUtf8(psz);
}

// A top-left corner for a window of the given size next to the owner (right, else left),
// inside the screen's available area; nothing when neither side has room.
std::optional<QPoint> PlaceBeside(const QRect& rcOwner, const QSize& size, const QScreen* pScreen) {
    if (pScreen == nullptr) {
        return std::nullopt;
    }
    const QRect rcAvailable = pScreen->availableGeometry();
    const int y = std::clamp(rcOwner.top(), rcAvailable.top(),
                             std::max(rcAvailable.top(), rcAvailable.bottom() + 1 - size.height()));
    for (const int x : {rcOwner.right() + 1, rcOwner.left() - size.width()}) {
        if (x >= rcAvailable.left() && x + size.width() <= rcAvailable.right() + 1) {
            return QPoint(x, y);
        }
    }
    return std::nullopt;
}
}  // namespace

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

void CMainFrame::UseDisplayModes(std::unique_ptr<platform::IDisplayModes> pModes) {
    m_pVga.reset();
    m_pDisplayModes = std::move(pModes);
    m_pVga = std::make_unique<CVgaFullScreen>(*m_pDisplayModes);
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
        m_app.View().OnFullScreenKey();
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
                    if (entry.pszShown != nullptr) {
                        strText += '\t' + Ui(entry.pszShown);  // shown only: not a shortcut
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

void CMainFrame::BuildStatusBar() {
    for (const res::Indicator& indicator : res::StatusIndicators()) {
        if (indicator.nId == 0) {
            m_pMessagePane = new QLabel(Ui(str::kStatusReady), this);
            // In a narrow window the pane cuts its text short rather than push the others
            // over each other.
            m_pMessagePane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            statusBar()->addWidget(m_pMessagePane, 1);
            m_pProgress = new QProgressBar(this);
            m_pProgress->setRange(0, 100);
            m_pProgress->setTextVisible(true);
            m_pProgress->setMinimumWidth(
                m_pProgress->fontMetrics().horizontalAdvance(Ui(FormatProgressBar({100, 35999}))) +
                16);
            m_pProgress->hide();
            statusBar()->addWidget(m_pProgress);
            continue;
        }
        // Sized for the pane's text, shown only while the key is locked.
        auto* pPane = new QLabel(this);
        pPane->setFrameShape(QFrame::Panel);
        pPane->setFrameShadow(QFrame::Sunken);
        pPane->setAlignment(Qt::AlignCenter);
        pPane->setMinimumWidth(pPane->fontMetrics().horizontalAdvance(Ui(indicator.pszText)) + 8);
        statusBar()->addPermanentWidget(pPane);
        m_indicators[indicator.nId] = pPane;
    }
    auto* pTimer = new QTimer(this);
    connect(pTimer, &QTimer::timeout, this, &CMainFrame::RefreshIndicators);
    pTimer->start(500);
    RefreshIndicators();
}

void CMainFrame::RefreshIndicators() {
    const auto locks = platform::ReadKeyboardLocks();
    auto show = [&](cmd::Id nId, bool bOn) {
        for (const res::Indicator& indicator : res::StatusIndicators()) {
            if (indicator.nId == nId) {
                m_indicators[nId]->setText(bOn ? Ui(indicator.pszText) : QString());
            }
        }
    };
    show(cmd::kIndicatorKana, false);  // no kana lock on this platform's keyboards
    show(cmd::kIndicatorCaps, locks && locks->bCaps);
    show(cmd::kIndicatorNum, locks && locks->bNum);
    show(cmd::kIndicatorScrl, locks && locks->bScroll);
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

void CMainFrame::OnTitleChanged(const std::string& strTitle) {
    m_strTitle = strTitle;
    // While converting the percentage leads, so that it shows in the task bar too.
    const QString strPercent =
        m_nTitlePercent >= 0 ? QStringLiteral("%1% - ").arg(m_nTitlePercent) : QString();
    setWindowTitle(strPercent + Ui(strTitle) + Ui(str::kTitleSeparator) + Ui(str::kAppTitle));
}

void CMainFrame::ShowConversionProgress(int64_t nDone, int64_t nTotal) {
    if (nTotal <= 0) {
        m_pProgress->hide();
        m_nTitlePercent = -1;
        OnTitleChanged(m_strTitle);
        return;
    }
    if (m_pProgress->isHidden()) {
        m_progressClock.start();
        m_pProgress->show();
    }
    const ConversionProgress progress = WorkOutProgress(nDone, nTotal, m_progressClock.elapsed());
    m_pProgress->setValue(progress.nPercent);
    m_pProgress->setFormat(Ui(FormatProgressBar(progress)));
    if (progress.nPercent != m_nTitlePercent) {
        m_nTitlePercent = progress.nPercent;
        OnTitleChanged(m_strTitle);
    }
}

QToolButton* CMainFrame::ToolButton(cmd::Id nId) const {
    auto it = m_toolButtons.find(nId);
    return it == m_toolButtons.end() ? nullptr : it->second;
}

int CMainFrame::FitWindowToPicture(int nZoom) {
    if (nZoom == 0) {
        return 0;
    }
    const QSize client = m_pVideo->ClientSizeWithoutScrollBars();
    const view::Size size =
        view::FitFrameSize({width(), height()}, {client.width(), client.height()}, nZoom,
                           AppState.nVideoWidth, AppState.nVideoHeight);
    resize(size.w, size.h);
    KeepOnScreen();
    return 1;
}

void CMainFrame::KeepOnScreen() {
    const QScreen* pScreen = screen();
    if (pScreen == nullptr || isFullScreen() || m_bFullScreen) {
        return;
    }
    // Never past the screen: the zoom stays as chosen and the view scrolls the rest. The
    // window manager's border and caption are asked of the window itself; right after the
    // window was shown they may not be known yet, so the check runs again once they are.
    const QMargins margins =
        windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    m_bRecheckOnScreen = margins.isNull();
    const QSize decoration(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QRect rcAvailable = pScreen->availableGeometry();
    const view::Rect outer{x(), y(), width() + decoration.width(), height() + decoration.height()};
    const view::Rect kept = view::KeepOnScreen(
        outer, {rcAvailable.x(), rcAvailable.y(), rcAvailable.width(), rcAvailable.height()});
    if (kept.w != outer.w || kept.h != outer.h) {
        resize(kept.w - decoration.width(), kept.h - decoration.height());
    }
    if (kept.x != outer.x || kept.y != outer.y) {
        move(kept.x, kept.y);
    }
}

void CMainFrame::moveEvent(QMoveEvent* pEvent) {
    QMainWindow::moveEvent(pEvent);
    // The window manager has framed the window: its border and caption are known now.
    if (m_bRecheckOnScreen && windowHandle() != nullptr &&
        !windowHandle()->frameMargins().isNull()) {
        KeepOnScreen();
    }
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

void CMainFrame::SetFullScreen(int bEnter) {
    if (bEnter) {
        m_rcNormal = normalGeometry();
        if (AppState.bVgaFullScreen) {
            SetVgaDisplayMode(1);
        }
        menuBar()->hide();  // kept, to come back as it was
        statusBar()->hide();
        // The toolbar floats as its own small window at (10, 10), hidden until a right click.
        removeToolBar(m_pToolBar);
        m_pToolBar->setParent(this, Qt::Tool | Qt::FramelessWindowHint);
        m_pToolBar->move(10, 10);
        m_pToolBar->hide();
        m_bFullScreen = true;
        showFullScreen();  // no caption or border; the view covers the screen
        CoverScreen();     // also where no window manager does it for us
        m_pVideo->setAttribute(Qt::WA_InputMethodEnabled, false);
    } else {
        m_bFullScreen = false;
        menuBar()->show();
        showNormal();  // a frame maximised before comes back in its normal size
        if (m_rcNormal.isValid()) {
            setGeometry(m_rcNormal);
        }
        statusBar()->show();
        m_pToolBar->setParent(this, Qt::Widget);
        addToolBar(Qt::TopToolBarArea, m_pToolBar);
        // The floating window's buttons never saw the pointer leave: no hover look left.
        for (auto& [nId, pButton] : m_toolButtons) {
            pButton->setAttribute(Qt::WA_UnderMouse, false);
        }
        m_pToolBar->show();
        m_pVideo->setAttribute(Qt::WA_InputMethodEnabled, true);
        SetVgaDisplayMode(0);  // gives back only what entering changed
    }
}

void CMainFrame::CoverScreen() {
    const QScreen* pScreen = screen();
    if (!m_bFullScreen || pScreen == nullptr) {
        return;
    }
    const QRect rc = pScreen->geometry();
    const view::Rect cover = m_pVga->CoverRect({rc.x(), rc.y(), rc.width(), rc.height()});
    setGeometry(cover.x, cover.y, cover.w, cover.h);
}

void CMainFrame::ShowToolBar(int bShow) {
    m_pToolBar->setVisible(bShow != 0);
}

void CMainFrame::SetStatusText(const std::string& strText) {
    m_pMessagePane->setText(Ui(strText));
}

void CMainFrame::SetVgaDisplayMode(int bOn) {
    // A refused or unavailable change is ignored: full screen then runs in the current mode.
    if (bOn) {
        m_pVga->Enter(bOn);
    } else {
        m_pVga->Leave();
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
