// The position bar's place in the frame: a fixed bar under the picture, above the status
// bar, outside the view, so the picture's area stays zoom × picture with it shown or not.
#include <QLayout>
#include <QToolBar>

#include "app/qt/main_frame.h"
#include "app/qt/position_bar.h"
#include "app/quovel_app.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_state.h"
#include "view/qt/video_widget.h"

void CMainFrame::BuildPositionBar() {
    m_pPositionToolBar = new QToolBar(this);
    m_pPositionToolBar->setObjectName(QStringLiteral("positionBar"));
    m_pPositionToolBar->setMovable(false);
    m_pPositionToolBar->setFloatable(false);
    m_pPositionToolBar->toggleViewAction()->setVisible(false);
    m_pPositionBar = new CPositionBar(m_pPositionToolBar);
    m_pPositionToolBar->addWidget(m_pPositionBar);
    addToolBar(Qt::BottomToolBarArea, m_pPositionToolBar);
    m_pPositionToolBar->setVisible(AppState.bPositionBar != 0);
    connect(m_pPositionBar, &CPositionBar::MoveRequested, this,
            [this](int64_t llPosition, bool bExact) {
                m_app.Doc().MoveToPosition(llPosition, bExact);
            });
    OnCommand(cmd::kViewPositionBar, [this] {
        AppState.bPositionBar = AppState.bPositionBar != 0 ? 0 : 1;
        ApplyPositionBar();
    });
    OnUpdateCommand(cmd::kViewPositionBar, [this](fw::CCmdUI& ui) {
        ui.Enable(!m_bFullScreen);
        ui.SetCheck(AppState.bPositionBar != 0 ? 1 : 0);
    });
}

void CMainFrame::ApplyPositionBar() {
    if (m_bFullScreen) {
        return;  // shown again on leaving, if it is to be
    }
    m_pPositionToolBar->setVisible(AppState.bPositionBar != 0);
    // The bar takes its height from the window, not from the picture.
    layout()->activate();
    FitWindowToPicture(m_app.Doc().nZoom);
}

void CMainFrame::ShowPlaybackPosition(const view::PlaybackPosition& position) {
    if (m_pPositionToolBar->isVisible()) {
        m_pPositionBar->Show(position);
    }
}
