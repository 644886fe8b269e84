#pragma once
// The one view: at each update it runs the colour effect into the display block and blits
// it to its window at the zoom in force; it carries the zoom and full-screen commands and
// hands the playback timer's ticks to the document.
#include <cstdint>
#include <string>

#include "effects/effect_dialog_host.h"
#include "framework/document.h"
#include "framework/timer_host.h"
#include "view/view_geometry.h"

class CQuovelDoc;

namespace view {

// The window the view draws into (a scrolling window); it also owns the view's timers.
class IViewSurface : public fw::ITimerHost {
  public:
    virtual void ClientSize(int& nWidth, int& nHeight) const = 0;
    virtual void ScrollPosition(int& px, int& py) const = 0;
    // Scrolling over an extent of w × h pixels.
    virtual void SetScrollSizes(int w, int h) = 0;
    // No scrolling: the picture is scaled to the window.
    virtual void SetScaleToFitSize(int w, int h) = 0;
    // Copies the source rectangle of a BMP-layout block (header at 14, bottom-up rows at 54;
    // source y counts from the bottom row) stretched to the destination rectangle, at once.
    virtual void Blit(const uint8_t* pBlock, const Rect& dst, const Rect& src) = 0;
};

// Where playback is, for a position bar: 100 ns units from the first frame.
struct PlaybackPosition {
    bool bActive = false;      // a file plays (or is paused): moving is possible
    int64_t llShown = 0;       // the start of the frame shown
    int64_t llLength = 0;      // the stream's length
    bool bLengthKnown = true;  // no header said it, nor could it be guessed
    int64_t nFrame = 0;        // the shown frame's number in the source
    int64_t llRangeStart = 0;  // the conversion range in force
    int64_t llRangeEnd = 0;
};

// The frame-window operations the view uses.
class IViewFrame {
  public:
    virtual ~IViewFrame() = default;
    virtual int FitWindowToPicture(int nZoom) = 0;
    virtual void UpdateToolBarButtons(int nZoom, int bFullScreen) = 0;
    virtual void SetFullScreen(int bEnter) = 0;
    virtual void ShowToolBar(int bShow) = 0;
    virtual void SetStatusText(const std::string& strText) = 0;
    // A running conversion's progress beside the status text: nDone of nTotal positions.
    // nTotal 0 takes it away.
    virtual void ShowConversionProgress(int64_t nDone, int64_t nTotal) = 0;
    virtual void ShowPlaybackPosition(const PlaybackPosition& position) = 0;
};

// Where the document's playback is.
PlaybackPosition WorkOutPlaybackPosition();

// Runs the colour effect from the document's FrameImage into its display block and gives the
// display block the frame's header (24-bit, padded size). False, and nothing drawn, when the
// frame's header does not fit the blocks.
bool RenderDisplayBlock(CQuovelDoc& doc, int& nWidth, int& nHeight);
// The block to show for the document's FrameImage: the frame's own block when the colour mode
// leaves its pixels as they are, else the display block, rendered as above. Null when the
// frame's header does not fit the blocks.
const uint8_t* RenderShownBlock(CQuovelDoc& doc, int& nWidth, int& nHeight);

}  // namespace view

class CQuovelView : public fw::CView {
  public:
    CQuovelView();
    void AttachWindow(view::IViewSurface* pSurface, view::IViewFrame* pFrame);

    CQuovelDoc* GetDocument() const;
    void OnInitialUpdate() override;
    void OnUpdate(fw::CView* pSender, long lHint) override;
    void OnTimer(uint32_t nIdEvent);
    void OnLButtonDown();
    // A double click toggles full screen, as players do. Its first press already left full
    // screen (the single click's job), so that double click stays out instead of going back.
    void OnLButtonDblClk();
    void OnRButtonDown();
    // Esc leaves full screen (F11 is the full-screen command itself).
    void OnEscapeKey();
    void OnZoom(int nZoom);
    void OnZoomFit();
    void OnViewFullScreen();
    // A word in the message pane, unless a conversion's progress holds it.
    void ShowMessage(const std::string& strText);

    // The colour menu. The plain modes close an open settings dialog; the six modes with
    // settings open theirs (a dialog of another kind is replaced).
    void SetEffectDialogHost(effects::IEffectDialogHost* pHost) { m_pEffectHost = pHost; }
    void OnColorStandard() { SelectPlainMode(0); }
    void OnColorMono() { SelectPlainMode(1); }
    void OnColorSepia() { SelectPlainMode(2); }
    void OnColorRgb() { SelectModeWithSettings(3); }
    void OnColorYuv() { SelectModeWithSettings(4); }
    void OnColorHsv() { SelectModeWithSettings(5); }
    void OnColorMosaic() { SelectModeWithSettings(6); }
    void OnColorPaint() { SelectModeWithSettings(7); }
    void OnColorStrobe() { SelectModeWithSettings(8); }
    void OnColorNegative() { SelectPlainMode(9); }

    view::Rect m_rcClient;
    int32_t m_nShownZoom = -1;
    int32_t m_bFullScreen = 0;
    int32_t m_bToolBarVisible = 0;

  private:
    void RegisterCommands();
    void SelectPlainMode(int nMode);
    void SelectModeWithSettings(int nMode);
    void CloseEffectDialogOfMode();
    // The message pane: the progress while converting, the last progress once it ended,
    // the idle text again when playback starts anew.
    void UpdateStatusText();

    view::IViewSurface* m_pSurface = nullptr;
    view::IViewFrame* m_pFrame = nullptr;
    effects::IEffectDialogHost* m_pEffectHost = nullptr;
    bool EffectDialogOpen() const {
        return m_pEffectHost != nullptr && m_pEffectHost->EffectDialogOpen();
    }
    bool m_bPressLeftFullScreen = false;  // the last left press ended full screen
    enum class Progress { None, Running, Final };
    Progress m_progressShown = Progress::None;
};
