// The main frame's status bar: the message pane, a conversion's progress bar, the lock
// indicators, and the window title that carries the progress too.
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include "app/qt/main_frame.h"
#include "app/qt/qt_text.h"
#include "convert/conversion_progress.h"
#include "platform/x11_display.h"
#include "resources/command_prompts.h"
#include "resources/strings.h"
#include "resources/toolbar.h"
#include "state/app_state.h"

using qttext::Ui;

void CMainFrame::BuildStatusBar() {
    for (const res::Indicator& indicator : res::StatusIndicators()) {
        if (indicator.nId == 0) {
            m_pMessagePane = new QLabel(Ui(str::kStatusReady), this);
            // In a narrow window the pane cuts its text short rather than push the others
            // over each other.
            m_pMessagePane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            statusBar()->addWidget(m_pMessagePane, 1);
            m_pProgress = new QProgressBar(this);
            m_pProgress->setRange(0, 100);
            m_pProgress->setTextVisible(true);
            m_pProgress->setMinimumWidth(
                m_pProgress->fontMetrics().horizontalAdvance(Ui(FormatProgressBar({100, 35999}))) +
                16);
            m_pProgress->hide();
            statusBar()->addWidget(m_pProgress);
            continue;
        }
        // Sized for the pane's text, shown only while the key is locked.
        auto* pPane = new QLabel(this);
        pPane->setFrameShape(QFrame::Panel);
        pPane->setFrameShadow(QFrame::Sunken);
        pPane->setAlignment(Qt::AlignCenter);
        pPane->setMinimumWidth(pPane->fontMetrics().horizontalAdvance(Ui(indicator.pszText)) + 8);
        statusBar()->addPermanentWidget(pPane);
        m_indicators[indicator.nId] = pPane;
    }
    auto* pTimer = new QTimer(this);
    connect(pTimer, &QTimer::timeout, this, &CMainFrame::RefreshIndicators);
    pTimer->start(500);
    RefreshIndicators();
}

void CMainFrame::RefreshIndicators() {
    const auto locks = platform::ReadKeyboardLocks();
    auto show = [&](cmd::Id nId, bool bOn) {
        for (const res::Indicator& indicator : res::StatusIndicators()) {
            if (indicator.nId == nId) {
                m_indicators[nId]->setText(bOn ? Ui(indicator.pszText) : QString());
            }
        }
    };
    show(cmd::kIndicatorKana, false);  // no kana lock on this platform's keyboards
    show(cmd::kIndicatorCaps, locks && locks->bCaps);
    show(cmd::kIndicatorNum, locks && locks->bNum);
    show(cmd::kIndicatorScrl, locks && locks->bScroll);
}

void CMainFrame::OnTitleChanged(const std::string& strTitle) {
    m_strTitle = strTitle;
    // While converting the percentage leads, so that it shows in the task bar too.
    const QString strPercent =
        m_nTitlePercent >= 0 ? QStringLiteral("%1% - ").arg(m_nTitlePercent) : QString();
    setWindowTitle(strPercent + Ui(strTitle) + Ui(str::kTitleSeparator) + Ui(str::kAppTitle));
}

void CMainFrame::ShowConversionProgress(int64_t nDone, int64_t nTotal) {
    if (nTotal <= 0) {
        m_pProgress->hide();
        m_nTitlePercent = -1;
        OnTitleChanged(m_strTitle);
        return;
    }
    if (m_pProgress->isHidden()) {
        m_progressClock.start();
        m_pProgress->show();
    }
    const ConversionProgress progress = WorkOutProgress(nDone, nTotal, m_progressClock.elapsed());
    m_pProgress->setValue(progress.nPercent);
    m_pProgress->setFormat(Ui(FormatProgressBar(progress)));
    if (progress.nPercent != m_nTitlePercent) {
        m_nTitlePercent = progress.nPercent;
        OnTitleChanged(m_strTitle);
    }
}

void CMainFrame::SetStatusText(const std::string& strText) {
    m_pMessagePane->setText(Ui(strText));
}
