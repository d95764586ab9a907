// SPDX-License-Identifier: GPL-3.0-or-later
// The rows the report's methods eliminate on, kept fraction-free as the
// solver keeps its own: whole numbers, each row over a denominator of its
// own, and each step of the elimination divides exactly by the pivot of the
// step before (Bareiss), so that no fraction is reduced while the work goes
// on. A value is reduced once, when it is asked for to be written.
//
// With s(i) the row's scale (the denominator the system gave the row) and
// P the whole-number pivot of the last step, a row the elimination has not
// yet passed stands over s(i)·P. Gauss–Jordan makes each pivot 1, and the
// rows it has passed stand over P alone: their pivots are all P.
//
// A system of small numbers is eliminated in machine words, each product
// in 128 bits and each division checked; at the first number that no
// longer fits a word the whole of the rows goes on in GMP integers from the
// row where it stood.
#pragma once

#include "core/exact/exactrows.h"
#include "core/report/report.h"

#include <gmpxx.h>

#include <cstdint>
#include <vector>

namespace ravno {

class FreeRows
{
public:
    // The first `columns` columns of `rows`; with `identity` the unit
    // matrix beside them, for [A | E].
    FreeRows(const ExactRows &rows, int columns, bool identity = false);

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    int sign(int i, int j) const
    {
        if (!m_inWords)
            return sgn(at(i, j));
        const std::int64_t v = word(i, j);
        return (v > 0) - (v < 0);
    }
    // The value in lowest terms.
    mpq_class value(int i, int j) const;
    // The value as it stands: whole numbers the row's denominator (maybe
    // negative) divides.
    mpz_class numerator(int i, int j) const;
    mpz_class denominator(int i) const;
    // Every value in lowest terms.
    ExactMatrix matrix() const;

    // The row from `from` on holding the pivot of `column` by `pivot`'s
    // rule, -1 when the column is 0 there.
    int pivotRow(int column, int from, Pivot pivot) const;
    void exchange(int a, int b);
    // One column of Gauss's elimination: the rows below `row` cleared in
    // `column` by the pivot in `row`, the columns before `last` (all when
    // -1) worked on.
    void clearBelow(int row, int column, int last = -1);
    // One column of Gauss–Jordan: the pivot in `row` made 1 and `column`
    // cleared in every other row.
    void clearAround(int row, int column);
    // Column `to` takes the values of column `from`, row by row.
    void copyColumn(int from, int to);
    // The rows and columns from `from` on, as the elimination stands.
    FreeRows tail(int from) const;

    // The whole-number pivot of the last step (1 before the first).
    mpz_class lastPivot() const;
    // The product of the rows' scales.
    mpz_class scales() const;

private:
    FreeRows() = default;
    mpz_class &at(int i, int j) { return m_values[std::size_t(i) * std::size_t(m_columns) + std::size_t(j)]; }
    const mpz_class &at(int i, int j) const
    {
        return m_values[std::size_t(i) * std::size_t(m_columns) + std::size_t(j)];
    }
    // |value(i, k)| > |value(r, k)|, rows i and r both over their scale
    // times the same pivot.
    bool greater(int i, int r, int k) const;
    std::int64_t &word(int i, int j) { return m_words[std::size_t(i) * std::size_t(m_columns) + std::size_t(j)]; }
    std::int64_t word(int i, int j) const
    {
        return m_words[std::size_t(i) * std::size_t(m_columns) + std::size_t(j)];
    }
    // The steps in words: the first row they could not finish (its values
    // untouched), -1 when done.
    int clearBelowInWords(int row, int column, int end);
    int clearAroundInWords(int row, int column);
    // The same in GMP integers, from row `from` on.
    void clearBelowBig(int row, int column, int end, int from);
    void clearAroundBig(int row, int column, int from);
    // From words to GMP integers, as the rows stand.
    void widen();

    int m_rows = 0;
    int m_columns = 0;
    // In words: the values, the scales s(i), what row i stands over
    // (over(i), times s(i) where scaled(i)), and P.
    bool m_inWords = false;
    std::vector<std::int64_t> m_words;
    std::vector<std::int64_t> m_wordScales;
    std::vector<std::int64_t> m_over;
    std::vector<char> m_scaled;
    std::int64_t m_wordPivot = 1;
    std::vector<std::int64_t> m_next; // a row worked out, before it is written back
    // In GMP integers.
    std::vector<mpz_class> m_values;
    std::vector<mpz_class> m_scales;       // s(i)
    std::vector<mpz_class> m_denominators; // what row i stands over
    mpz_class m_pivot = 1;
};

} // namespace ravno
