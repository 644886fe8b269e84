// The view's commands: zoom, full screen, the colour modes and their dialogs, the mouse.
#include "view/quovel_view.h"

#include <array>
#include <cstring>

#include "platform/dib.h"
#include "playback/quovel_doc.h"
#include "resources/colour_modes.h"
#include "resources/command_ids.h"
#include "state/app_state.h"

void CQuovelView::RegisterCommands() {
    for (int nZoom = 1; nZoom <= 4; ++nZoom) {
        const cmd::Id nId = cmd::kZoom1 + static_cast<cmd::Id>(nZoom - 1);
        OnCommand(nId, [this, nZoom] { OnZoom(nZoom); });
        OnUpdateCommand(nId, [this, nZoom](fw::CCmdUI& ui) {
            ui.SetCheck(GetDocument() != nullptr && GetDocument()->nZoom == nZoom);
        });
    }
    OnCommand(cmd::kZoomFit, [this] { OnZoomFit(); });
    OnUpdateCommand(cmd::kZoomFit, [this](fw::CCmdUI& ui) {
        ui.SetCheck(GetDocument() != nullptr && GetDocument()->nZoom == 0);
    });
    OnCommand(cmd::kViewFullScreen, [this] { OnViewFullScreen(); });
    // Pressed exactly while full screen is on, however it was entered or left.
    OnUpdateCommand(cmd::kViewFullScreen,
                    [this](fw::CCmdUI& ui) { ui.SetCheck(m_bFullScreen == 1); });

    const std::array<void (CQuovelView::*)(), colour::kModeCount> colorHandlers = {
        &CQuovelView::OnColorStandard, &CQuovelView::OnColorMono,  &CQuovelView::OnColorSepia,
        &CQuovelView::OnColorRgb,      &CQuovelView::OnColorYuv,   &CQuovelView::OnColorHsv,
        &CQuovelView::OnColorMosaic,   &CQuovelView::OnColorPaint, &CQuovelView::OnColorStrobe,
        &CQuovelView::OnColorNegative};
    for (int nMode = 0; nMode < colour::kModeCount; ++nMode) {
        const cmd::Id nId = cmd::kColorFirst + static_cast<cmd::Id>(nMode);
        OnCommand(nId, [this, pHandler = colorHandlers[nMode]] { (this->*pHandler)(); });
        OnUpdateCommand(nId,
                        [nMode](fw::CCmdUI& ui) { ui.SetCheck(AppState.nColorMode == nMode); });
    }
}

void CQuovelView::CloseEffectDialogOfMode() {
    if (colour::HasDialog(AppState.nColorMode) && EffectDialogOpen()) {
        m_pEffectHost->CloseEffectDialog();
    }
}

// Takes effect at the next draw: the commands do not redraw.
void CQuovelView::SelectPlainMode(int nMode) {
    CloseEffectDialogOfMode();
    AppState.nColorMode = nMode;
}

void CQuovelView::SelectModeWithSettings(int nMode) {
    if (AppState.nColorMode == nMode && EffectDialogOpen()) {
        return;  // its dialog is open already: neither moved nor raised
    }
    CloseEffectDialogOfMode();
    AppState.nColorMode = nMode;
    if (m_pEffectHost != nullptr) {
        m_pEffectHost->OpenEffectDialog(nMode - 3);
    }
}

void CQuovelView::AttachWindow(view::IViewSurface* pSurface, view::IViewFrame* pFrame) {
    m_pSurface = pSurface;
    m_pFrame = pFrame;
    if (CQuovelDoc* pDoc = GetDocument(); pDoc != nullptr && pSurface == nullptr) {
        pDoc->SetTimerWindow(nullptr);
    }
}

CQuovelDoc* CQuovelView::GetDocument() const {
    return static_cast<CQuovelDoc*>(fw::CView::GetDocument());
}

void CQuovelView::OnInitialUpdate() {
    fw::CView::OnInitialUpdate();
    CQuovelDoc* pDoc = GetDocument();
    if (pDoc == nullptr) {
        return;
    }
    pDoc->SetTimerWindow(m_pSurface);
    if (m_pSurface == nullptr) {
        return;
    }
    int cw = 0;
    int ch = 0;
    m_pSurface->ClientSize(cw, ch);
    if (!pDoc->pFrameImage) {
        m_pSurface->SetScrollSizes(cw, ch);
        return;
    }
    dib::BitmapInfoHeader header;
    std::memcpy(&header, pDoc->pFrameImage.get() + dib::kInfoHeaderOffset, sizeof(header));
    if (pDoc->nZoom != 0) {
        m_pSurface->SetScrollSizes(pDoc->nZoom * header.biWidth, pDoc->nZoom * header.biHeight);
    } else {
        m_pSurface->SetScaleToFitSize(cw, ch);
    }
}

void CQuovelView::OnTimer(uint32_t nIdEvent) {
    if (CQuovelDoc* pDoc = GetDocument(); pDoc != nullptr) {
        pDoc->OnPlaybackTick(nIdEvent);
    }
}

void CQuovelView::OnLButtonDown() {
    m_bPressLeftFullScreen = m_bFullScreen == 1;
    if (m_bFullScreen == 1) {
        m_bFullScreen = 0;
        if (m_pFrame != nullptr) {
            m_pFrame->SetFullScreen(0);
        }
    }
}

void CQuovelView::OnLButtonDblClk() {
    if (m_bPressLeftFullScreen) {
        m_bPressLeftFullScreen = false;
        return;
    }
    OnViewFullScreen();
}

void CQuovelView::OnEscapeKey() {
    if (m_bFullScreen == 1) {
        OnViewFullScreen();
    }
}

void CQuovelView::OnRButtonDown() {
    if (m_bFullScreen == 1) {
        m_bToolBarVisible = m_bToolBarVisible ? 0 : 1;
        if (m_pFrame != nullptr) {
            m_pFrame->ShowToolBar(m_bToolBarVisible);
        }
    }
}

void CQuovelView::OnZoom(int nZoom) {
    // The frame resizes at once; the picture and scroll sizes follow at the next drawing.
    GetDocument()->nZoom = nZoom;
    if (m_pFrame != nullptr) {
        m_pFrame->FitWindowToPicture(nZoom);
    }
}

void CQuovelView::OnZoomFit() {
    GetDocument()->nZoom = 0;
    GetDocument()->UpdateAllViews(nullptr, 0);
}

void CQuovelView::OnViewFullScreen() {
    GetDocument()->nZoom = 0;
    if (m_bFullScreen == 0) {
        m_bFullScreen = 1;
        if (m_pFrame != nullptr) {
            m_pFrame->SetFullScreen(1);  // the frame covers the screen with the view
        }
        m_bToolBarVisible = 0;
    } else {
        m_bFullScreen = 0;
        if (m_pFrame != nullptr) {
            m_pFrame->SetFullScreen(0);
        }
    }
}
