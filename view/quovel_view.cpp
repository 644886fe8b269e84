#include "view/quovel_view.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "convert/avi_writer.h"
#include "effects/transform_frame.h"
#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"

namespace view {

namespace {

// The frame's header when it and its pixels, and the 24-bit picture made from them, lie
// inside the document's blocks.
std::optional<dib::BitmapInfoHeader> FrameThatFits(const CQuovelDoc& doc) {
    dib::BitmapInfoHeader header;
    std::memcpy(&header, doc.pFrameImage.get() + dib::kInfoHeaderOffset, sizeof(header));
    const int w = header.biWidth;
    const int h = header.biHeight;
    if (w <= 0 || h <= 0 || header.biSize < sizeof(header)) {
        return std::nullopt;
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
        return std::nullopt;
    }
    return header;
}

void FillDisplayBlock(CQuovelDoc& doc, dib::BitmapInfoHeader header) {
    uint8_t* pDisplay = doc.pDisplayImage.get();
    const uint8_t* pFrameHeader = doc.pFrameImage.get() + dib::kInfoHeaderOffset;
    effects::TransformFrame(pDisplay + dib::kPixelOffset, pFrameHeader + header.biSize,
                            reinterpret_cast<const dib::BitmapInfoHeader*>(pFrameHeader),
                            header.biWidth, header.biHeight);
    header.biBitCount = 24;
    header.biSizeImage = static_cast<uint32_t>(dib::RowBytes24(header.biWidth) *
                                               static_cast<size_t>(header.biHeight));
    std::memcpy(pDisplay + dib::kInfoHeaderOffset, &header, sizeof(header));
}

}  // namespace

bool RenderDisplayBlock(CQuovelDoc& doc, int& nWidth, int& nHeight) {
    const std::optional<dib::BitmapInfoHeader> header = FrameThatFits(doc);
    if (!header) {
        return false;
    }
    FillDisplayBlock(doc, *header);
    nWidth = header->biWidth;
    nHeight = header->biHeight;
    return true;
}

const uint8_t* RenderShownBlock(CQuovelDoc& doc, int& nWidth, int& nHeight) {
    const std::optional<dib::BitmapInfoHeader> header = FrameThatFits(doc);
    if (!header) {
        return nullptr;
    }
    nWidth = header->biWidth;
    nHeight = header->biHeight;
    // A frame the colour mode leaves as it is is shown from its own block: at 4K, copying it
    // into the display block would cost a quarter of the tick.
    if (effects::LeavesFrameAsIs(*header) && header->biSize == sizeof(dib::BitmapInfoHeader)) {
        effects::CountDraw();
        return doc.pFrameImage.get();
    }
    FillDisplayBlock(doc, *header);
    return doc.pDisplayImage.get();
}

}  // namespace view

CQuovelView::CQuovelView() {
    RegisterCommands();
}

void CQuovelView::OnUpdate(fw::CView* /*pSender*/, long /*lHint*/) {
    CQuovelDoc* pDoc = GetDocument();
    if (pDoc == nullptr) {
        return;
    }
    if (m_pFrame != nullptr) {
        m_pFrame->UpdateToolBarButtons(m_nShownZoom, m_bFullScreen);
    }
    UpdateStatusText();
    if (m_pFrame != nullptr) {
        m_pFrame->ShowPlaybackPosition(view::WorkOutPlaybackPosition());
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
    const uint8_t* pShown = view::RenderShownBlock(*pDoc, w, h);
    if (pShown == nullptr) {
        AppState.bDrawing = 0;  // a header that does not fit the blocks is never drawn
        return;
    }
    AppState.nVideoWidth = w;
    AppState.nVideoHeight = h;
    if (m_pSurface != nullptr) {
        int cw = 0;
        int ch = 0;
        m_pSurface->ClientSize(cw, ch);
        m_rcClient = {0, 0, cw, ch};
        const int z = pDoc->nZoom;
        const int nExtentW = z != 0 ? z * w : cw;
        const int nExtentH = z != 0 ? z * h : ch;
        int px = 0;
        int py = 0;
        m_pSurface->ScrollPosition(px, py);
        const view::BlitGeometry g = view::ComputeBlitGeometry(z, w, h, cw, ch, px, py);
        // "変換処理時に動画を表示しない": the window keeps its last picture while writing.
        const bool bHidden = AppState.bHideWhileConverting != 0 && AppState.pWriter != nullptr &&
                             AppState.pWriter->IsActive();
        if (!bHidden) {
            m_pSurface->Blit(pShown, g.dst, g.src);
        }
        if (z != m_nShownZoom) {
            if (z != 0) {
                m_pSurface->SetScrollSizes(nExtentW, nExtentH);
            } else {
                m_pSurface->SetScaleToFitSize(nExtentW, nExtentH);
            }
            m_nShownZoom = z;
        }
    }
    AppState.bDrawing = 0;
}
