#include "view/qt/video_widget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>
#include <algorithm>
#include <cstring>

#include "platform/dib.h"

CVideoWidget::CVideoWidget(CQuovelView& view, view::IViewFrame& frame, QWidget* pParent)
    : QAbstractScrollArea(pParent), m_view(view) {
    // Around and behind the picture, and before any, the view is black, as a player's is.
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, Qt::black);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    m_view.AttachWindow(this, &frame);
}

CVideoWidget::~CVideoWidget() {
    m_view.AttachWindow(nullptr, nullptr);
}

void CVideoWidget::ClientSize(int& nWidth, int& nHeight) const {
    nWidth = viewport()->width();
    nHeight = viewport()->height();
}

void CVideoWidget::ScrollPosition(int& px, int& py) const {
    px = horizontalScrollBar()->value();
    py = verticalScrollBar()->value();
}

void CVideoWidget::SetScrollSizes(int w, int h) {
    m_bScaleToFit = false;
    m_extent = QSize(w, h);
    UpdateScrollBars();
}

void CVideoWidget::SetScaleToFitSize(int w, int h) {
    m_bScaleToFit = true;
    m_extent = QSize(w, h);
    UpdateScrollBars();
}

void CVideoWidget::UpdateScrollBars() {
    const QSize client = viewport()->size();
    const int nRangeX = m_bScaleToFit ? 0 : std::max(0, m_extent.width() - client.width());
    const int nRangeY = m_bScaleToFit ? 0 : std::max(0, m_extent.height() - client.height());
    horizontalScrollBar()->setRange(0, nRangeX);
    verticalScrollBar()->setRange(0, nRangeY);
    // A page is the client area, a line a tenth of it, as a scrolling view's defaults.
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setPageStep(client.height());
    horizontalScrollBar()->setSingleStep(std::max(1, client.width() / 10));
    verticalScrollBar()->setSingleStep(std::max(1, client.height() / 10));
}

void CVideoWidget::resizeEvent(QResizeEvent* pEvent) {
    QAbstractScrollArea::resizeEvent(pEvent);
    UpdateScrollBars();
}

void CVideoWidget::scrollContentsBy(int /*dx*/, int /*dy*/) {
    // The picture follows the scroll position at the next drawing: a tick redraws it anyway.
}

void CVideoWidget::Blit(const uint8_t* pBlock, const view::Rect& dst, const view::Rect& src) {
    dib::BitmapInfoHeader header;
    std::memcpy(&header, pBlock + dib::kInfoHeaderOffset, sizeof(header));
    if (src.w <= 0 || src.h <= 0 || dst.w <= 0 || dst.h <= 0 || src.x < 0 || src.y < 0 ||
        src.x + src.w > header.biWidth || src.y + src.h > header.biHeight) {
        return;
    }
    // Only the visible part is copied, into the window system's own 32-bit format, so that
    // painting it needs no conversion (and no temporary image) per frame. A picture shown
    // smaller than it is (fitted) is sampled down to the shown size here, nearest pixel,
    // as the painter would: a 4K frame fitted into a window costs the window's pixels.
    const int nOutW = std::min(src.w, dst.w);
    const int nOutH = std::min(src.h, dst.h);
    if (m_imgShown.width() != nOutW || m_imgShown.height() != nOutH) {
        m_imgShown = QImage(nOutW, nOutH, QImage::Format_RGB32);
    }
    if (m_columnsFor != QRect(src.x, src.w, nOutW, 0)) {  // the same from tick to tick
        m_columnsFor = QRect(src.x, src.w, nOutW, 0);
        m_columns.resize(static_cast<size_t>(nOutW));
        for (int x = 0; x < nOutW; ++x) {  // the centre of each shown column
            const int64_t llSrcX =
                (2 * static_cast<int64_t>(x) + 1) * src.w / (2 * static_cast<int64_t>(nOutW));
            m_columns[static_cast<size_t>(x)] = static_cast<size_t>(src.x + llSrcX) * 3;
        }
    }
    const size_t nRow = dib::RowBytes24(header.biWidth);
    const uint8_t* pPixels = pBlock + dib::kPixelOffset;
    for (int r = 0; r < nOutH; ++r) {
        const int64_t llSrcR =
            (2 * static_cast<int64_t>(r) + 1) * src.h / (2 * static_cast<int64_t>(nOutH));
        // Source rows count from the bottom; the image's rows from the top.
        const uint8_t* pSrcRow = pPixels + static_cast<size_t>(src.y + src.h - 1 - llSrcR) * nRow;
        auto* pDst = reinterpret_cast<QRgb*>(m_imgShown.scanLine(r));
        for (int x = 0; x < nOutW; ++x) {
            const uint8_t* pSrc = pSrcRow + m_columns[static_cast<size_t>(x)];
            pDst[x] = qRgb(pSrc[2], pSrc[1], pSrc[0]);
        }
    }
    m_rcDest = QRect(dst.x, dst.y, dst.w, dst.h);
    viewport()->repaint(m_rcDest);  // at once: drawing is synchronous
}

void CVideoWidget::paintEvent(QPaintEvent* /*pEvent*/) {
    if (m_imgShown.isNull()) {
        return;
    }
    // Nearest-neighbour stretching: zoomed pixels stay sharp squares.
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(m_rcDest, m_imgShown);
}

void CVideoWidget::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        m_view.OnLButtonDown();
        QAbstractScrollArea::mousePressEvent(pEvent);
    } else if (pEvent->button() == Qt::RightButton) {
        m_view.OnRButtonDown();
        pEvent->accept();
    } else {
        QAbstractScrollArea::mousePressEvent(pEvent);
    }
}

void CVideoWidget::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        m_view.OnLButtonDblClk();
        pEvent->accept();
    } else {
        QAbstractScrollArea::mouseDoubleClickEvent(pEvent);
    }
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
    QAbstractScrollArea::timerEvent(pEvent);
}

void CVideoWidget::SetFileDropHandler(std::function<bool(const std::string&)> handler) {
    m_dropHandler = std::move(handler);
    setAcceptDrops(static_cast<bool>(m_dropHandler));
    viewport()->setAcceptDrops(static_cast<bool>(m_dropHandler));  // drops arrive there
}

void CVideoWidget::dragEnterEvent(QDragEnterEvent* pEvent) {
    const QList<QUrl> urls = pEvent->mimeData()->urls();
    if (m_dropHandler && !urls.isEmpty() && urls.front().isLocalFile()) {
        pEvent->acceptProposedAction();
    }
}

void CVideoWidget::dropEvent(QDropEvent* pEvent) {
    const QList<QUrl> urls = pEvent->mimeData()->urls();
    if (m_dropHandler && !urls.isEmpty() && urls.front().isLocalFile() &&
        m_dropHandler(QFile::encodeName(urls.front().toLocalFile()).toStdString())) {
        pEvent->acceptProposedAction();
    }
}
