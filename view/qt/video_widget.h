#pragma once
// The view's window: keeps the pixels last blitted to it and owns the view's timers,
// whose ticks it hands to the view on the user-interface thread.
#include <QImage>
#include <QWidget>
#include <map>

#include "view/quovel_view.h"

class CVideoWidget : public QWidget, public view::IViewSurface {
    Q_OBJECT
  public:
    CVideoWidget(CQuovelView& view, view::IViewFrame& frame, QWidget* pParent);
    ~CVideoWidget() override;

    void ClientSize(int& nWidth, int& nHeight) const override;
    void Blit(const uint8_t* pBlock, const view::Rect& dst, const view::Rect& src) override;
    uint32_t SetTimer(uint32_t nId, uint32_t nElapseMs) override;
    bool KillTimer(uint32_t nId) override;

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

  private:
    CQuovelView& m_view;
    QImage m_imgShown;  // top row first, as the window shows it
    QRect m_rcDest;
    std::map<uint32_t, int> m_timers;  // our timer id -> Qt's
};
