// SPDX-License-Identifier: GPL-3.0-or-later
// Timing for ravno_bench: a piece of work run in batches, each batch timed
// with QElapsedTimer; the median per run is what the report gives, the
// fastest batch beside it shows how noisy the machine was.
#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace ravno::bench {

struct Timing
{
    double medianMs = 0;
    double fastestMs = 0;
    int runs = 0;
};

// prepare() runs before each batch outside the clock (for work that
// consumes its input, such as the solver transforming its matrix).
template<typename Prepare, typename Work>
Timing timeBatches(int batches, int perBatch, Prepare &&prepare, Work &&work)
{
    std::vector<double> perRun;
    for (int b = 0; b < batches; ++b) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < perBatch; ++i)
            work(i);
        perRun.push_back(double(timer.nsecsElapsed()) / 1e6 / perBatch);
    }
    std::sort(perRun.begin(), perRun.end());
    return {perRun[perRun.size() / 2], perRun.front(), batches * perBatch};
}

template<typename Work>
Timing timeBatches(int batches, int perBatch, Work &&work)
{
    return timeBatches(batches, perBatch, [] {}, std::forward<Work>(work));
}

inline void report(const char *what, const Timing &t)
{
    std::printf("%-44s %10.4f ms median %10.4f ms fastest %7d runs\n", what, t.medianMs,
                t.fastestMs, t.runs);
}

} // namespace ravno::bench
