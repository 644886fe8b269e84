#include "app/qt/position_bar.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace {
constexpr int64_t kUnitsPerMs = 10'000;

int ToMs(int64_t llUnits) {
    return static_cast<int>(std::clamp<int64_t>(llUnits / kUnitsPerMs, 0, INT32_MAX));
}
}  // namespace

CPositionSlider::CPositionSlider(QWidget* pParent) : QSlider(Qt::Horizontal, pParent) {
    setFocusPolicy(Qt::NoFocus);  // the arrow keys stay the window's frame steps
    setMinimumHeight(22);         // room for the range strip under the groove
    setTracking(false);
    connect(this, &QSlider::sliderMoved, this, [this] { m_bDragged = true; });
}

void CPositionSlider::SetRange(int nStartMs, int nEndMs) {
    if (nStartMs != m_nRangeStartMs || nEndMs != m_nRangeEndMs) {
        m_nRangeStartMs = nStartMs;
        m_nRangeEndMs = nEndMs;
        update();
    }
}

CPositionSlider::Track CPositionSlider::HandleTrack() const {
    // Where the style draws the handle at either end: a click, a drag and the range strip
    // all map through these, so that the handle comes to rest under the pointer.
    QStyleOptionSlider option;
    initStyleOption(&option);
    auto handleAt = [&](int nValue) {
        option.sliderPosition = nValue;
        option.sliderValue = nValue;
        return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    };
    const QRect first = handleAt(minimum());
    const QRect last = handleAt(maximum());
    return {first.center().x(), std::max(last.center().x() - first.center().x(), 1)};
}

int CPositionSlider::ValueAt(int x) const {
    const Track track = HandleTrack();
    return QStyle::sliderValueFromPosition(
        minimum(), maximum(), std::clamp(x - track.nFirstX, 0, track.nSpanPx), track.nSpanPx);
}

int CPositionSlider::XOf(int nMs) const {
    const Track track = HandleTrack();
    return track.nFirstX +
           QStyle::sliderPositionFromValue(minimum(), maximum(), nMs, track.nSpanPx);
}

void CPositionSlider::mousePressEvent(QMouseEvent* pEvent) {
    m_bDragged = false;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const QPoint at = pEvent->position().toPoint();
    m_nPressX = at.x();
    if (pEvent->button() != Qt::LeftButton || handle.contains(at)) {
        QSlider::mousePressEvent(pEvent);
        m_nPressMs = sliderPosition();
        return;
    }
    // A click on the groove goes there, rather than a page towards it: the handle first, so
    // that the press holds it where it was clicked. Held, it stays there while the picture
    // moves, and a pointer that trembles before the release moves it from the clicked point,
    // not from wherever the frame shown has put it since.
    m_nPressMs = ValueAt(at.x());
    setSliderPosition(m_nPressMs);
    QSlider::mousePressEvent(pEvent);
    emit ClickedAt(m_nPressMs);
}

void CPositionSlider::mouseMoveEvent(QMouseEvent* pEvent) {
    if (!isSliderDown()) {
        QSlider::mouseMoveEvent(pEvent);
        return;
    }
    // The handle moves as far as the pointer has since the press. (The slider's own drag maps
    // through the groove, which the style lays out a few pixels apart from the handle's track.)
    pEvent->accept();
    const int nDeltaPx = static_cast<int>(pEvent->position().x()) - m_nPressX;
    setSliderPosition(ValueAt(XOf(m_nPressMs) + nDeltaPx));
}

void CPositionSlider::paintEvent(QPaintEvent* pEvent) {
    QSlider::paintEvent(pEvent);
    if (m_nRangeEndMs <= m_nRangeStartMs || maximum() <= minimum()) {
        return;
    }
    // The conversion range: a strip of its own colour under the groove, apart from the
    // groove's own fill up to the handle.
    const int x0 = XOf(m_nRangeStartMs);
    const int x1 = XOf(m_nRangeEndMs);
    QPainter painter(this);
    painter.fillRect(QRect(x0, height() - 4, std::max(x1 - x0, 2), 3), QColor(0xE0, 0x80, 0x00));
}

CPositionBar::CPositionBar(QWidget* pParent)
    : QWidget(pParent),
      m_pSlider(new CPositionSlider(this)),
      m_pTime(new QLabel(this)),
      m_pFrame(new QLabel(this)) {
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(4, 0, 4, 0);
    pLayout->addWidget(m_pSlider, 1);
    pLayout->addWidget(m_pTime);
    pLayout->addWidget(m_pFrame);
    m_pTime->setText(TimeText(0) + " / " + TimeText(0));
    // A small picture's window is narrower than the bar's texts: the bar gives way (the
    // window is as wide as the picture), its texts cut short.
    pLayout->setSizeConstraint(QLayout::SetNoConstraint);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_pSlider->setMinimumWidth(24);
    connect(m_pSlider, &QSlider::sliderMoved, this,
            [this](int nMs) { emit MoveRequested(nMs * kUnitsPerMs, false); });
    // A release settles a drag on its exact frame; a press that did not move asks for
    // nothing more (a click on the groove has moved already).
    connect(m_pSlider, &QSlider::sliderReleased, this, [this] {
        if (m_pSlider->Dragged()) {
            emit MoveRequested(m_pSlider->sliderPosition() * kUnitsPerMs, true);
        }
    });
    connect(m_pSlider, &CPositionSlider::ClickedAt, this,
            [this](int nMs) { emit MoveRequested(nMs * kUnitsPerMs, true); });
}

QString CPositionBar::TimeText(int64_t llUnits) {
    const int64_t nMs = std::max<int64_t>(llUnits, 0) / kUnitsPerMs;
    return QString::asprintf("%lld:%02lld:%02lld.%03lld", static_cast<long long>(nMs / 3'600'000),
                             static_cast<long long>(nMs / 60'000 % 60),
                             static_cast<long long>(nMs / 1000 % 60),
                             static_cast<long long>(nMs % 1000));
}

void CPositionBar::Show(const view::PlaybackPosition& p) {
    setEnabled(p.bActive);
    // A length nobody knows is not shown: the bar then reaches as far as has been played.
    m_pSlider->setMaximum(ToMs(p.bLengthKnown ? p.llLength : p.llShown));
    m_pSlider->SetRange(ToMs(p.llRangeStart), ToMs(p.llRangeEnd));
    if (!m_pSlider->isSliderDown()) {
        m_pSlider->setValue(ToMs(p.llShown));
    }
    m_pTime->setText(TimeText(p.llShown) + " / " +
                     (p.bLengthKnown ? TimeText(p.llLength) : QStringLiteral("-:--:--.---")));
    m_pFrame->setText(p.bActive ? QString::asprintf("#%lld", static_cast<long long>(p.nFrame))
                                : QString());
}
