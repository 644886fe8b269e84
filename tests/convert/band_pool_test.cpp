// The conversion's band threads: every band of every frame done exactly once before Run
// returns, with any number of bands against any number of threads, frame after frame, and
// the threads joined however the pool ends (ThreadSanitizer runs this in CI).
#include "convert/band_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

TEST(BandPool, EveryBandOnceBeforeRunReturnsAndTheThreadsEndWithThePool) {
    for (int32_t nWorkers : {0, 1, 3}) {
        CBandPool pool(nWorkers);
        EXPECT_EQ(pool.Threads(), nWorkers + 1);
        for (int32_t nFrame = 0; nFrame < 200; ++nFrame) {
            const int32_t nBands = 1 + nFrame % 7;  // fewer, as many and more bands than threads
            std::vector<std::atomic<int>> done(static_cast<size_t>(nBands));
            pool.Run(nBands, [&](int32_t b) { done[static_cast<size_t>(b)].fetch_add(1); });
            for (int32_t b = 0; b < nBands; ++b) {
                ASSERT_EQ(done[static_cast<size_t>(b)].load(), 1)
                    << nWorkers << " workers, frame " << nFrame << ", band " << b;
            }
        }
        pool.Run(0, [](int32_t) { FAIL() << "no band to run"; });
    }
    // A pool that never ran ends as well as one that did.
    { CBandPool idle(4); }
}
