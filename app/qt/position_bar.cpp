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
}

void CPositionSlider::SetRange(int nStartMs, int nEndMs) {
    if (nStartMs != m_nRangeStartMs || nEndMs != m_nRangeEndMs) {
        m_nRangeStartMs = nStartMs;
        m_nRangeEndMs = nEndMs;
        update();
    }
}

void CPositionSlider::mousePressEvent(QMouseEvent* pEvent) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    if (pEvent->button() == Qt::LeftButton && !handle.contains(pEvent->position().toPoint())) {
        // A click on the groove goes there, rather than a page towards it.
        const QRect groove =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const int nSpan = std::max(groove.width() - handle.width(), 1);
        const int x = static_cast<int>(pEvent->position().x()) - groove.x() - handle.width() / 2;
        const int nMs =
            QStyle::sliderValueFromPosition(minimum(), maximum(), std::clamp(x, 0, nSpan), nSpan);
        setSliderPosition(nMs);
        emit ClickedAt(nMs);
    }
    QSlider::mousePressEvent(pEvent);
}

void CPositionSlider::paintEvent(QPaintEvent* pEvent) {
    QSlider::paintEvent(pEvent);
    if (m_nRangeEndMs <= m_nRangeStartMs || maximum() <= minimum()) {
        return;
    }
    // The conversion range: a strip of its own colour under the groove, apart from the
    // groove's own fill up to the handle.
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int nSpan = std::max(groove.width() - handle.width(), 1);
    auto xOf = [&](int nMs) {
        return groove.x() + handle.width() / 2 +
               QStyle::sliderPositionFromValue(minimum(), maximum(), nMs, nSpan);
    };
    const int x0 = xOf(m_nRangeStartMs);
    const int x1 = xOf(m_nRangeEndMs);
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
    connect(m_pSlider, &QSlider::sliderReleased, this,
            [this] { emit MoveRequested(m_pSlider->sliderPosition() * kUnitsPerMs, true); });
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
