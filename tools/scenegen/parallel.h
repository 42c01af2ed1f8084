// Spreading independent rows of work over the processor's cores. Every row
// is computed from its own inputs alone, so the result does not depend on
// how the rows are shared out, nor on how many threads share them.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace scenegen {

// How many threads share the rows: SCENEGEN_THREADS from the environment
// when it holds 1 to 64, else one a core, at most 8.
inline int WorkerThreads() {
    static const int threads = [] {
        if (const char* value = std::getenv("SCENEGEN_THREADS")) {
            const int n = std::atoi(value);
            if (n >= 1 && n <= 64) return n;
        }
        return std::max(1, std::min(8, int(std::thread::hardware_concurrency())));
    }();
    return threads;
}

// Calls body(row) for every row in [0, rows), on WorkerThreads() threads.
template <typename Body> void ParallelRows(int rows, const Body& body) {
    const int threads = std::max(1, std::min(rows, WorkerThreads()));
    if (threads == 1) {
        for (int row = 0; row < rows; ++row)
            body(row);
        return;
    }
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            for (int row = t; row < rows; row += threads)
                body(row);
        });
    for (std::thread& th : pool)
        th.join();
}

} // namespace scenegen
