// The main frame's size and place: fitted to the picture but kept on screen, full screen
// (with the 640×480 display mode when asked), and where the colour dialog first opens.
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

#include "app/qt/main_frame.h"
#include "state/app_state.h"
#include "view/qt/video_widget.h"
#include "view/view_geometry.h"

// A top-left corner for a window of the given size next to the owner (right, else left),
// inside the screen's available area; nothing when neither side has room.
std::optional<QPoint> CMainFrame::PlaceBeside(const QRect& rcOwner, const QSize& size,
                                              const QScreen* pScreen) {
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

void CMainFrame::UseDisplayModes(std::unique_ptr<platform::IDisplayModes> pModes) {
    m_pVga.reset();
    m_pDisplayModes = std::move(pModes);
    m_pVga = std::make_unique<CVgaFullScreen>(*m_pDisplayModes);
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
    if (pScreen == nullptr || m_bFullScreen) {
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

void CMainFrame::SetFullScreen(int bEnter) {
    if (bEnter) {
        m_rcNormal = normalGeometry();
        if (AppState.bVgaFullScreen) {
            SetVgaDisplayMode(1);
        }
        menuBar()->hide();  // kept, to come back as it was
        statusBar()->hide();
        m_pPositionToolBar->hide();
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
        m_pPositionToolBar->setVisible(AppState.bPositionBar != 0);
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

void CMainFrame::SetVgaDisplayMode(int bOn) {
    // A refused or unavailable change is ignored: full screen then runs in the current mode.
    if (bOn) {
        m_pVga->Enter(bOn);
    } else {
        m_pVga->Leave();
    }
}
