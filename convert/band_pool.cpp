#include "convert/band_pool.h"

CBandPool::CBandPool(int32_t nWorkers) {
    for (int32_t i = 0; i < nWorkers; ++i) {
        m_workers.emplace_back([this] { WorkerLoop(); });
    }
}

CBandPool::~CBandPool() {
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_bQuit = true;
    }
    m_workWaiting.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
}

void CBandPool::Run(int32_t nBands, const std::function<void(int32_t)>& work) {
    if (nBands <= 0) {
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_pWork = &work;
        m_nBands = nBands;
        m_nNextBand = 0;
        m_nBandsLeft = nBands;
    }
    m_workWaiting.notify_all();
    for (int32_t nBand = TakeBand(); nBand >= 0; nBand = TakeBand()) {
        work(nBand);
        BandDone();
    }
    std::unique_lock<std::mutex> held(m_lock);
    m_allDone.wait(held, [this] { return m_nBandsLeft == 0; });
    m_pWork = nullptr;  // no worker looks at it again: every band is taken
}

int32_t CBandPool::TakeBand() {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_pWork != nullptr && m_nNextBand < m_nBands ? m_nNextBand++ : -1;
}

void CBandPool::BandDone() {
    bool bLast = false;
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        bLast = --m_nBandsLeft == 0;
    }
    if (bLast) {
        m_allDone.notify_all();
    }
}

void CBandPool::WorkerLoop() {
    for (;;) {
        const std::function<void(int32_t)>* pWork = nullptr;
        int32_t nBand = -1;
        {
            std::unique_lock<std::mutex> held(m_lock);
            m_workWaiting.wait(
                held, [this] { return m_bQuit || (m_pWork != nullptr && m_nNextBand < m_nBands); });
            if (m_bQuit) {
                return;
            }
            pWork = m_pWork;
            nBand = m_nNextBand++;
        }
        (*pWork)(nBand);
        BandDone();
    }
}
