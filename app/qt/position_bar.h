#pragma once
// The position bar under the picture: a slider over the whole stream with the conversion
// range drawn on it, the time "h:mm:ss.mmm / total" and the shown frame's number. A click asks
// for the exact frame there at once; a drag for a near one (a key frame) while the handle
// moves, and the exact one on release.
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
    // The handle has moved with the pointer since the button went down.
    bool Dragged() const { return m_bDragged; }

  signals:
    void ClickedAt(int nMs);

  protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

  private:
    // The handle's centre at the minimum, and how far it travels to the maximum (pixels).
    struct Track {
        int nFirstX = 0;
        int nSpanPx = 1;
    };
    Track HandleTrack() const;
    int ValueAt(int x) const;  // the value whose handle is centred on x
    int XOf(int nMs) const;    // the centre of the handle at nMs

    int m_nPressX = 0;   // where the button went down
    int m_nPressMs = 0;  // and the handle's value then
    int m_nRangeStartMs = 0;
    int m_nRangeEndMs = 0;
    bool m_bDragged = false;
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
