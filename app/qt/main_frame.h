#pragma once
// The single top-level window: menu bar, toolbar, status bar and the video view in its
// client area; it carries the frame side of full-screen presentation.
#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <map>
#include <memory>
#include <optional>

#include "app/vga_full_screen.h"
#include "effects/effect_dialog_host.h"
#include "framework/cmd_target.h"
#include "view/quovel_view.h"

class CQuovelApp;
class CCommandBinder;
class CVideoWidget;
class CPositionBar;
class QLabel;
class QProgressBar;
class QScreen;
class QMenu;
class QAction;
class QToolBar;
class QToolButton;

class CMainFrame : public QMainWindow,
                   public fw::CCmdTarget,
                   public view::IViewFrame,
                   public effects::IEffectDialogHost {
    Q_OBJECT
  public:
    explicit CMainFrame(CQuovelApp& app);
    ~CMainFrame() override;

    CCommandBinder& Binder() { return *m_pBinder; }
    CVideoWidget* VideoWidget() { return m_pVideo; }
    QToolBar* ToolBar() { return m_pToolBar; }
    QToolButton* ToolButton(cmd::Id nId) const;

    int FitWindowToPicture(int nZoom) override;
    void UpdateToolBarButtons(int nZoom, int bFullScreen) override;
    void SetFullScreen(int bEnter) override;
    void ShowToolBar(int bShow) override;
    void SetStatusText(const std::string& strText) override;
    void ShowConversionProgress(int64_t nDone, int64_t nTotal) override;
    void ShowPlaybackPosition(const view::PlaybackPosition& position) override;
    CPositionBar* PositionBar() { return m_pPositionBar; }
    QToolBar* PositionToolBar() { return m_pPositionToolBar; }
    QProgressBar* ProgressBar() { return m_pProgress; }
    void SetButtonCheck(cmd::Id nId, int nState);
    void OpenEffectDialog(int nKind) override;
    void CloseEffectDialog() override;
    bool EffectDialogOpen() const override;
    void SetVgaDisplayMode(int bOn);
    // The display whose mode full screen may switch: XRandR unless another is given.
    void UseDisplayModes(std::unique_ptr<platform::IDisplayModes> pModes);
    // Closes the window without asking about a running conversion (termination signals).
    void CloseWithoutAsking();
    // The kana/caps/num/scroll panes, from the keyboard's lock lights.
    void RefreshIndicators();

  protected:
    void closeEvent(QCloseEvent* pEvent) override;
    bool event(QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void moveEvent(QMoveEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

  private:
    void OnCreate();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildPositionBar();
    // Shows or hides the position bar as AppState says (never in full screen), keeping the
    // picture's area as it was.
    void ApplyPositionBar();
    void BindAccelerators();
    void RefreshRecentFiles();
    void OnTitleChanged(const std::string& strTitle);
    // In full screen: covers the screen, at the switched mode's size until the windowing
    // system reports the new screen.
    void CoverScreen();
    // Keeps the whole window, border and caption included, inside the screen's available area.
    void KeepOnScreen();
    // A top-left corner for a window of the given size next to the owner (right, else left),
    // inside the screen's available area; nothing when neither side has room.
    static std::optional<QPoint> PlaceBeside(const QRect& rcOwner, const QSize& size,
                                             const QScreen* pScreen);

    CQuovelApp& m_app;
    CCommandBinder* m_pBinder = nullptr;
    CVideoWidget* m_pVideo = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QToolBar* m_pPositionToolBar = nullptr;
    CPositionBar* m_pPositionBar = nullptr;
    QLabel* m_pMessagePane = nullptr;
    QProgressBar* m_pProgress = nullptr;  // beside the message pane while converting
    QElapsedTimer m_progressClock;        // since the conversion shown began
    std::string m_strTitle;               // the document's title
    int m_nTitlePercent = -1;             // shown before the title while converting
    std::map<cmd::Id, QLabel*> m_indicators;
    std::map<cmd::Id, QToolButton*> m_toolButtons;
    QRect m_rcNormal;  // the frame's normal geometry, kept while in full screen
    bool m_bFullScreen = false;
    bool m_bCloseWithoutAsking = false;
    bool m_bRecheckOnScreen = false;  // kept on screen before the window manager framed it
    std::unique_ptr<platform::IDisplayModes> m_pDisplayModes;
    std::unique_ptr<CVgaFullScreen> m_pVga;  // restores a switched mode however the frame goes
    // Where the colour settings dialog last stood in this run: a new one opens there.
    std::optional<QPoint> m_effectDlgPos;
    QAction* m_pRecentPlaceholder = nullptr;
    std::array<QAction*, 4> m_recentActions{};
};
