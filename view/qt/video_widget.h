#pragma once
#include <vector>
// The view's window: a scrolling area that keeps the pixels last blitted to it and owns the
// view's timers, whose ticks it hands to the view on the user-interface thread.
#include <QAbstractScrollArea>
#include <QImage>
#include <functional>
#include <map>
#include <string>

#include "view/quovel_view.h"

class CVideoWidget : public QAbstractScrollArea, public view::IViewSurface {
    Q_OBJECT
  public:
    CVideoWidget(CQuovelView& view, view::IViewFrame& frame, QWidget* pParent);
    ~CVideoWidget() override;

    void ClientSize(int& nWidth, int& nHeight) const override;
    void ScrollPosition(int& px, int& py) const override;
    void SetScrollSizes(int w, int h) override;
    void SetScaleToFitSize(int w, int h) override;
    void Blit(const uint8_t* pBlock, const view::Rect& dst, const view::Rect& src) override;
    uint32_t SetTimer(uint32_t nId, uint32_t nElapseMs) override;
    bool KillTimer(uint32_t nId) override;

    // The client size the view would have without scroll bars.
    QSize ClientSizeWithoutScrollBars() const { return maximumViewportSize(); }
    bool IsScaledToFit() const { return m_bScaleToFit; }
    // Called with the local path of a file dropped on the picture; true when it was taken.
    void SetFileDropHandler(std::function<bool(const std::string&)> handler);

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

  private:
    void UpdateScrollBars();

    CQuovelView& m_view;
    QImage m_imgShown;              // top row first, in the window system's 32-bit format
    std::vector<size_t> m_columns;  // byte offsets of the sampled columns in a source row
    QRect m_columnsFor;             // (first column, source width, shown width) they are for
    QRect m_rcDest;
    QSize m_extent;  // the scroll extent
    bool m_bScaleToFit = false;
    std::map<uint32_t, int> m_timers;  // our timer id -> Qt's
    std::function<bool(const std::string&)> m_dropHandler;
};
