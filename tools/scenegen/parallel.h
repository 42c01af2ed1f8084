// Spreading independent rows of work over the processor's cores. Every row
// is computed from its own inputs alone, so the result does not depend on
// how the rows are shared out.
#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace scenegen {

// Calls body(row) for every row in [0, rows), on up to 8 threads.
template <typename Body> void ParallelRows(int rows, const Body& body) {
    const int threads = std::max(1, std::min({8, rows, int(std::thread::hardware_concurrency())}));
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
