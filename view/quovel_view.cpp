#include "view/quovel_view.h"

#include <algorithm>
#include <cstring>

#include "app/app_state.h"
#include "effects/transform_frame.h"
#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"

namespace view {

bool RenderDisplayBlock(CQuovelDoc& doc, int& nWidth, int& nHeight) {
    dib::BitmapInfoHeader header;
    std::memcpy(&header, doc.pFrameImage.get() + dib::kInfoHeaderOffset, sizeof(header));
    const int w = header.biWidth;
    const int h = header.biHeight;
    if (w <= 0 || h <= 0 || header.biSize < sizeof(header)) {
        return false;
    }
    // Both the source (header, colour table, pixels at its bit depth) and the 24-bit output
    // must lie inside the blocks.
    const size_t nPixelBytes = dib::RowBytes24(w) * static_cast<size_t>(h);
    const size_t nSrcRow =
        (static_cast<size_t>(w) * std::max<uint16_t>(header.biBitCount, 8) / 8 + 3) & ~size_t{3};
    const size_t nSrcBytes =
        header.biSize + (header.biBitCount == 8 ? 1024 : 0) + nSrcRow * static_cast<size_t>(h);
    if (nPixelBytes > doc.nImageBytes - dib::kPixelOffset ||
        nSrcBytes > doc.nImageBytes - dib::kInfoHeaderOffset) {
        return false;
    }
    uint8_t* pDisplay = doc.pDisplayImage.get();
    const uint8_t* pFrameHeader = doc.pFrameImage.get() + dib::kInfoHeaderOffset;
    effects::TransformFrame(pDisplay + dib::kPixelOffset, pFrameHeader + header.biSize,
                            reinterpret_cast<const dib::BitmapInfoHeader*>(pFrameHeader), w, h);
    header.biBitCount = 24;
    header.biSizeImage = static_cast<uint32_t>(nPixelBytes);
    std::memcpy(pDisplay + dib::kInfoHeaderOffset, &header, sizeof(header));
    nWidth = w;
    nHeight = h;
    return true;
}

}  // namespace view

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
    int w = 0;
    int h = 0;
    if (!view::RenderDisplayBlock(*pDoc, w, h)) {
        AppState.bDrawing = 0;  // a header that does not fit the blocks is never drawn
        return;
    }
    AppState.nVideoWidth = w;
    AppState.nVideoHeight = h;
    uint8_t* pDisplay = pDoc->pDisplayImage.get();

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
