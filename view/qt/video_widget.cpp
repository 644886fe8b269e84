#include "view/qt/video_widget.h"

#include <QPainter>
#include <QTimerEvent>
#include <cstring>

#include "platform/dib.h"

CVideoWidget::CVideoWidget(CQuovelView& view, view::IViewFrame& frame, QWidget* pParent)
    : QWidget(pParent), m_view(view) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(true);
    m_view.AttachWindow(this, &frame);
}

CVideoWidget::~CVideoWidget() {
    m_view.AttachWindow(nullptr, nullptr);
}

void CVideoWidget::ClientSize(int& nWidth, int& nHeight) const {
    nWidth = width();
    nHeight = height();
}

void CVideoWidget::Blit(const uint8_t* pBlock, const view::Rect& dst, const view::Rect& src) {
    dib::BitmapInfoHeader header;
    std::memcpy(&header, pBlock + dib::kInfoHeaderOffset, sizeof(header));
    if (src.w <= 0 || src.h <= 0 || src.x < 0 || src.y < 0 || src.x + src.w > header.biWidth ||
        src.y + src.h > header.biHeight) {
        return;
    }
    // Kept in the window system's own 32-bit format, so painting it needs no conversion
    // (and no temporary image) per frame.
    if (m_imgShown.width() != src.w || m_imgShown.height() != src.h) {
        m_imgShown = QImage(src.w, src.h, QImage::Format_RGB32);
    }
    const size_t nRow = dib::RowBytes24(header.biWidth);
    const uint8_t* pPixels = pBlock + dib::kPixelOffset;
    for (int r = 0; r < src.h; ++r) {
        // Source rows count from the bottom; the image's rows from the top.
        const uint8_t* pSrc = pPixels + static_cast<size_t>(src.y + src.h - 1 - r) * nRow +
                              static_cast<size_t>(src.x) * 3;
        auto* pDst = reinterpret_cast<QRgb*>(m_imgShown.scanLine(r));
        for (int x = 0; x < src.w; ++x, pSrc += 3) {
            pDst[x] = qRgb(pSrc[2], pSrc[1], pSrc[0]);
        }
    }
    m_rcDest = QRect(dst.x, dst.y, dst.w, dst.h);
    update();
}

void CVideoWidget::paintEvent(QPaintEvent* /*pEvent*/) {
    if (m_imgShown.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(m_rcDest, m_imgShown);
}

uint32_t CVideoWidget::SetTimer(uint32_t nId, uint32_t nElapseMs) {
    KillTimer(nId);
    const int nQtId = startTimer(static_cast<int>(nElapseMs), Qt::PreciseTimer);
    if (nQtId == 0) {
        return 0;
    }
    m_timers[nId] = nQtId;
    return nId;
}

bool CVideoWidget::KillTimer(uint32_t nId) {
    auto it = m_timers.find(nId);
    if (it == m_timers.end()) {
        return false;
    }
    killTimer(it->second);
    m_timers.erase(it);
    return true;
}

void CVideoWidget::timerEvent(QTimerEvent* pEvent) {
    for (const auto& [nId, nQtId] : m_timers) {
        if (nQtId == pEvent->timerId()) {
            const uint32_t nOurId = nId;  // the tick may stop or restart this timer
            m_view.OnTimer(nOurId);
            return;
        }
    }
    QWidget::timerEvent(pEvent);
}
