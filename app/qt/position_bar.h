#pragma once
// The position bar under the picture: a slider over the whole stream with the conversion
// range drawn on it, the time "h:mm:ss.mmm / total" and the shown frame's number. Clicking
// or dragging asks for a move: near (a key frame) while the handle moves, exact on release.
#include <QLabel>
#include <QSlider>
#include <QWidget>
#include <cstdint>

#include "view/quovel_view.h"

class CPositionSlider final : public QSlider {
    Q_OBJECT
  public:
    explicit CPositionSlider(QWidget* pParent);
    void SetRange(int nStartMs, int nEndMs);

  signals:
    void ClickedAt(int nMs);

  protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

  private:
    int m_nRangeStartMs = 0;
    int m_nRangeEndMs = 0;
};

class CPositionBar final : public QWidget {
    Q_OBJECT
  public:
    explicit CPositionBar(QWidget* pParent);
    // Follows playback, unless the user is dragging the handle.
    void Show(const view::PlaybackPosition& position);
    // "h:mm:ss.mmm" of a position in 100 ns units.
    static QString TimeText(int64_t llUnits);
    CPositionSlider* Slider() { return m_pSlider; }
    QString Text() const { return m_pTime->text() + "  " + m_pFrame->text(); }

  signals:
    // llPosition in 100 ns units; bExact: the very frame there, else the quickest near it.
    void MoveRequested(int64_t llPosition, bool bExact);

  private:
    CPositionSlider* m_pSlider;
    QLabel* m_pTime;
    QLabel* m_pFrame;
};
