#include "view/quovel_view.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "convert/avi_writer.h"
#include "convert/conversion_progress.h"
#include "effects/transform_frame.h"
#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/colour_modes.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
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
    if (colour::In(colour::kModesWithDialog, AppState.nColorMode) && EffectDialogOpen()) {
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

namespace view {

PlaybackPosition WorkOutPlaybackPosition() {
    PlaybackPosition p;
    const CFrameGrabber* pGrabber = AppState.pGrabber;
    if (pGrabber == nullptr || !pGrabber->bHasFile) {
        return p;
    }
    constexpr int64_t kUnit = platform::kMediaUnitsPerSecond;
    p.llLength = static_cast<int64_t>(std::max(AppState.nStreamLength, 0)) * kUnit / 30;
    p.bLengthKnown = AppState.nStreamLength < INT32_MAX;  // the count saturates when unknown
    p.llRangeStart = static_cast<int64_t>(AppState.nRangeStart) * kUnit / 30;
    p.llRangeEnd = static_cast<int64_t>(AppState.nRangeEnd) * kUnit / 30;
    if (pGrabber->bPlaying && pGrabber->pGraph) {
        int64_t llDuration = 0;
        p.bLengthKnown =
            pGrabber->pGraph->GetDuration(llDuration) && llDuration < platform::kUnknownLength;
        if (p.bLengthKnown) {
            p.llLength = llDuration;
        }
        p.bActive = AppState.bConverting == 0;
        p.llShown = std::max<int64_t>(pGrabber->ShownFrameStart(), 0);
        p.nFrame = pGrabber->pGraph->FrameNumberAt(p.llShown);
    }
    return p;
}

}  // namespace view

void CQuovelView::ShowMessage(const std::string& strText) {
    if (m_pFrame != nullptr && !AppState.bConverting) {
        m_pFrame->SetStatusText(strText);
    }
}

void CQuovelView::UpdateStatusText() {
    if (m_pFrame == nullptr) {
        return;
    }
    if (AppState.bConverting) {
        m_pFrame->SetStatusText(AppState.strTimeText);
        m_pFrame->ShowConversionProgress(
            AppState.pWriter != nullptr ? AppState.pWriter->nFrameCount : 0, ConversionPositions());
        m_progressShown = Progress::Running;
    } else if (m_progressShown == Progress::Running) {
        // How far the conversion got; said in words when it went all the way.
        const CQuovelDoc* pDoc = GetDocument();
        m_pFrame->SetStatusText(pDoc != nullptr && pDoc->bConversionCompleted
                                    ? std::string(str::kConversionDone) + "  " +
                                          AppState.strTimeText
                                    : AppState.strTimeText);
        m_pFrame->ShowConversionProgress(0, 0);
        m_progressShown = Progress::Final;
    } else if (m_progressShown == Progress::Final && AppState.pGrabber != nullptr &&
               AppState.pGrabber->bPlaying) {
        m_pFrame->SetStatusText(str::kStatusReady);
        m_progressShown = Progress::None;
    }
}
