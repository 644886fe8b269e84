#pragma once
// The one view: at each update it prepares the display block from the decoded frame and
// blits it to its window; it hands the playback timer's ticks to the document.
#include <cstdint>
#include <string>

#include "app/framework/document.h"
#include "app/framework/timer_host.h"

class CQuovelDoc;

namespace view {

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// The window the view draws into; it also owns the view's timers.
class IViewSurface : public fw::ITimerHost {
  public:
    virtual void ClientSize(int& nWidth, int& nHeight) const = 0;
    // Copies the source rectangle of a BMP-layout block (header at 14, bottom-up rows at 54;
    // source y counts from the bottom row) stretched to the destination rectangle.
    virtual void Blit(const uint8_t* pBlock, const Rect& dst, const Rect& src) = 0;
};

// Runs the colour effect from the document's FrameImage into its display block and gives the
// display block the frame's header (24-bit, padded size). False, and nothing drawn, when the
// frame's header does not fit the blocks.
bool RenderDisplayBlock(CQuovelDoc& doc, int& nWidth, int& nHeight);

// The frame-window operations the view uses.
class IViewFrame {
  public:
    virtual ~IViewFrame() = default;
    virtual int FitWindowToPicture(int nZoom) = 0;
    virtual void SetStatusText(const std::string& strText) = 0;
};

}  // namespace view

class CQuovelView : public fw::CView {
  public:
    CQuovelView();
    void AttachWindow(view::IViewSurface* pSurface, view::IViewFrame* pFrame);

    CQuovelDoc* GetDocument() const;
    void OnInitialUpdate() override;
    void OnUpdate(fw::CView* pSender, long lHint) override;
    void OnTimer(uint32_t nIdEvent);

    int32_t m_nShownZoom = -1;
    int32_t m_bFullScreen = 0;
    int32_t m_bToolBarVisible = 0;

  private:
    view::IViewSurface* m_pSurface = nullptr;
    view::IViewFrame* m_pFrame = nullptr;
};
