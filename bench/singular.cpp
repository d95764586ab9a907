// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/singular.h"

#include "core/singularity.h"
#include "core/solver.h"

#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace ravno::bench {
namespace {

using Rows = std::vector<std::vector<int>>;

struct Random
{
    std::mt19937 engine{2026};
    int operator()(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(engine);
    }
};

bool inRange(const Rows &rows)
{
    for (const auto &row : rows)
        for (int value : row)
            if (std::abs(value) > 99)
                return false;
    return true;
}

// An n x r matrix (entries -3..3) times an r x n matrix (entries -9..9),
// rank r drawn from 1..n-1.
Rows product(int n, Random &random)
{
    const int r = random(1, n - 1);
    Rows left(n, std::vector<int>(r));
    Rows right(r, std::vector<int>(n));
    for (auto &row : left)
        std::generate(row.begin(), row.end(), [&] { return random(-3, 3); });
    for (auto &row : right)
        std::generate(row.begin(), row.end(), [&] { return random(-9, 9); });
    Rows rows(n, std::vector<int>(n, 0));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < r; ++k)
                rows[i][j] += left[i][k] * right[k][j];
    return rows;
}

// n - 1 rows of digits -9..9 and, in a random place, one row that is a
// combination of them with multipliers -3..3, not all 0.
Rows dependentRow(int n, Random &random)
{
    Rows rows(n - 1, std::vector<int>(n));
    for (auto &row : rows)
        std::generate(row.begin(), row.end(), [&] { return random(-9, 9); });
    std::vector<int> sum(n, 0);
    bool any = false;
    for (const auto &row : rows) {
        const int multiplier = random(-3, 3);
        any = any || multiplier != 0;
        for (int j = 0; j < n; ++j)
            sum[j] += multiplier * row[j];
    }
    if (!any)
        sum = rows.front();
    rows.insert(rows.begin() + random(0, n - 1), sum);
    return rows;
}

struct Count
{
    int before = 0;
    int after = 0;
    double largestRatio = 0;
};

template<typename Make>
Count count(int n, int systems, Random &random, Make &&make)
{
    Count counted;
    for (int made = 0; made < systems;) {
        const Rows rows = make(n, random);
        if (!inRange(rows))
            continue;
        ++made;
        Workspace ws;
        ws.resize(n);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j)
                ws.at(i, j) = rows[i][j];
            ws.at(i, n) = random(-99, 99);
        }
        counted.largestRatio = std::max(counted.largestRatio, scaledSingularValueRatio(ws));
        const SolveResult result = solve(ws, QLocale::c());
        if (result.outcome == SolveResult::Outcome::NoUniqueSolution)
            ++counted.after;
        // The elimination is the same as before the singularity test came
        // in; the old rule caught a system exactly when it left a zero on
        // the diagonal (a pivot column of zeros, or a zero last pivot).
        for (int k = 0; k < n; ++k) {
            if (ws.at(k, k) == 0) {
                ++counted.before;
                break;
            }
        }
    }
    return counted;
}

} // namespace

bool benchSingular(int perOrder)
{
    Random random;
    std::printf("\nsingular integer systems caught, %d of each kind and order\n", perOrder);
    std::printf("%5s  %21s  %21s\n", "", "product L x R", "one dependent row");
    std::printf("%5s  %6s %6s %7s  %6s %6s %7s\n", "order", "before", "after", "ratio", "before",
                "after", "ratio");
    bool allCaught = true;
    for (int n = 2; n <= 10; ++n) {
        const Count a = count(n, perOrder, random, product);
        const Count b = count(n, perOrder, random, dependentRow);
        std::printf("%5d  %6d %6d %7.1e  %6d %6d %7.1e\n", n, a.before, a.after, a.largestRatio,
                    b.before, b.after, b.largestRatio);
        allCaught = allCaught && a.after == perOrder && b.after == perOrder;
    }
    if (!allCaught)
        std::fprintf(stderr, "a singular system was solved\n");
    return allCaught;
}

} // namespace ravno::bench
