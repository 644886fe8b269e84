#include "view/quovel_view.h"

#include <algorithm>
#include <cstring>

#include "app/app_state.h"
#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"

CQuovelView::CQuovelView() = default;

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
    if (CQuovelDoc* pDoc = GetDocument(); pDoc != nullptr) {
        pDoc->SetTimerWindow(m_pSurface);
    }
}

void CQuovelView::OnTimer(uint32_t nIdEvent) {
    if (CQuovelDoc* pDoc = GetDocument(); pDoc != nullptr) {
        pDoc->OnPlaybackTick(nIdEvent);
    }
}

void CQuovelView::OnUpdate(fw::CView* /*pSender*/, long /*lHint*/) {
    CQuovelDoc* pDoc = GetDocument();
    if (pDoc == nullptr) {
        return;
    }
    if (AppState.bResizePending && pDoc->nZoom >= 0 && pDoc->nZoom <= 4) {
        AppState.bResizePending = 0;
        if (m_pFrame != nullptr) {
            m_pFrame->FitWindowToPicture(pDoc->nZoom);
        }
    }
    const CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr || !pGrabber->bHasFile ||
        (pGrabber->bPlaying == 1 && AppState.bFrameReady == 0)) {
        return;
    }
    if (!pDoc->pFrameImage) {
        return;
    }
    AppState.bDrawing = 1;

    dib::BitmapInfoHeader header;
    std::memcpy(&header, pDoc->pFrameImage.get() + dib::kInfoHeaderOffset, sizeof(header));
    const int w = header.biWidth;
    const int h = header.biHeight;
    const size_t nPixelBytes = dib::RowBytes24(w) * static_cast<size_t>(h);
    if (w <= 0 || h <= 0 || nPixelBytes > pDoc->nImageBytes - dib::kPixelOffset) {
        AppState.bDrawing = 0;  // a header that does not fit the blocks is never drawn
        return;
    }
    AppState.nVideoWidth = w;
    AppState.nVideoHeight = h;

    // The display block carries the picture as decoded until the colour effects arrive.
    uint8_t* pDisplay = pDoc->pDisplayImage.get();
    std::memcpy(pDisplay + dib::kPixelOffset, pDoc->pFrameImage.get() + dib::kPixelOffset,
                nPixelBytes);
    header.biBitCount = 24;
    header.biSizeImage = static_cast<uint32_t>(w * h * 3);
    std::memcpy(pDisplay + dib::kInfoHeaderOffset, &header, sizeof(header));

    if (m_pSurface != nullptr) {
        int cw = 0;
        int ch = 0;
        m_pSurface->ClientSize(cw, ch);
        const view::Rect dst{0, 0, std::min(cw, w), std::min(ch, h)};
        const view::Rect src{0, h - dst.h, dst.w, dst.h};
        m_pSurface->Blit(pDisplay, dst, src);
    }
    if (AppState.bConverting && m_pFrame != nullptr) {
        m_pFrame->SetStatusText(AppState.strTimeText);
    }
    AppState.bDrawing = 0;
}
