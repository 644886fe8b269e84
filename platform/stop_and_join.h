#pragma once
// Ending a worker thread that sleeps on a condition variable: the stop flag is set under the
// worker's mutex (so the wait it sleeps in cannot miss it), the worker is woken and joined.
#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

// Nothing when the worker is not running.
inline void StopAndJoin(std::thread& worker, std::mutex& lock, std::condition_variable& wake,
                        bool& bStop) {
    if (!worker.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(lock);
        bStop = true;
    }
    wake.notify_all();
    worker.join();
}

}  // namespace platform
