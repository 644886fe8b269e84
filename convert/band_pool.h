#pragma once
// Threads that share out a frame's rows for a whole conversion: started once, as the
// conversion with a colour mode begins, instead of for every frame, and joined when it ends.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CBandPool {
  public:
    // nWorkers threads besides the one that calls Run (0: Run does all the work itself).
    explicit CBandPool(int32_t nWorkers);
    ~CBandPool();  // stops and joins the workers
    CBandPool(const CBandPool&) = delete;
    CBandPool& operator=(const CBandPool&) = delete;

    int32_t Threads() const { return static_cast<int32_t>(m_workers.size()) + 1; }
    // Runs work(b) once for each band b in [0, nBands), on the workers and the calling
    // thread, and returns when every band is done. One caller at a time.
    void Run(int32_t nBands, const std::function<void(int32_t)>& work);

  private:
    void WorkerLoop();
    // Takes the next band under the lock, or -1 when none is left.
    int32_t TakeBand();
    void BandDone();

    std::mutex m_lock;
    std::condition_variable m_workWaiting;
    std::condition_variable m_allDone;
    const std::function<void(int32_t)>* m_pWork = nullptr;  // while a Run is under way
    int32_t m_nBands = 0;
    int32_t m_nNextBand = 0;
    int32_t m_nBandsLeft = 0;  // taken or not, not yet done
    bool m_bQuit = false;
    std::vector<std::thread> m_workers;
};
