// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's random source: one uniform generator over [0, 1) in single
// precision. It always starts from the same seed, so every start of the
// program draws the same digits.
#pragma once

#include <QString>

#include <random>

namespace ravno {

class RandomSource
{
public:
    // The next value in [0, 1): a multiple of 2^-24, exact as a float.
    float next();

private:
    // Park and Miller's minimal standard generator (multiplier 48271).
    std::minstd_rand m_engine{20261208u};
};

// "RND" for the contents: n(n+1) digits 0..9, each followed by one blank.
QString randomContents(RandomSource &random, int n);

// "RND" for the order: a scroll position 2..10 (r x 8 + 2, halves to even).
int randomOrderPosition(RandomSource &random);

} // namespace ravno
