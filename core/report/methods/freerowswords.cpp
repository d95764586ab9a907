// SPDX-License-Identifier: GPL-3.0-or-later
// The steps of the fraction-free elimination in machine words. A row is
// worked out beside the rows and written back only when every value of it
// fits a word, so that the GMP integers can go on from that very row.
#include "core/exact/wordarithmetic.h"
#include "core/report/methods/freerows.h"

#include <algorithm>

namespace ravno {

int FreeRows::clearBelowInWords(int row, int column, int end)
{
    const std::int64_t p = word(row, column);
    const WordDivisor divisor(m_wordPivot);
    const std::int64_t *pivotRow = &word(row, 0);
    std::vector<std::int64_t> &next = m_next;
    next.resize(std::size_t(std::max(end - column - 1, 0)));
    bool overflow = false;
    for (int i = row + 1; i < rows(); ++i) {
        std::int64_t *line = &word(i, 0);
        const std::int64_t m = line[column];
        for (int j = column + 1; j < end; ++j) {
            const Wide t = Wide(p) * line[j] - Wide(m) * pivotRow[j];
            next[std::size_t(j - column - 1)] = divisor.divide(t, overflow);
        }
        if (overflow)
            return i;
        std::copy(next.begin(), next.end(), line + column + 1);
        line[column] = 0;
        m_over[std::size_t(i)] = p;
        m_scaled[std::size_t(i)] = 1;
    }
    m_wordPivot = p;
    return -1;
}

int FreeRows::clearAroundInWords(int row, int column)
{
    const std::int64_t p = word(row, column);
    const WordDivisor divisor(m_wordPivot);
    const std::int64_t *pivotRow = &word(row, 0);
    std::vector<std::int64_t> &next = m_next;
    next.resize(std::size_t(m_columns));
    bool overflow = false;
    for (int i = 0; i < rows(); ++i) {
        if (i == row)
            continue;
        std::int64_t *line = &word(i, 0);
        const std::int64_t m = line[column];
        // As in GMP integers: each division is exact, and 0 over 0 stays.
        for (int j = 0; j < m_columns; ++j) {
            if (j == column || (line[j] == 0 && pivotRow[j] == 0)) {
                next[std::size_t(j)] = line[j];
                continue;
            }
            const Wide t = Wide(p) * line[j] - Wide(m) * pivotRow[j];
            next[std::size_t(j)] = divisor.divide(t, overflow);
        }
        if (overflow)
            return i;
        std::copy(next.begin(), next.end(), line);
        line[column] = 0;
        m_over[std::size_t(i)] = p;
        m_scaled[std::size_t(i)] = i > row;
    }
    m_over[std::size_t(row)] = p;
    m_scaled[std::size_t(row)] = 0;
    m_wordPivot = p;
    return -1;
}

} // namespace ravno
