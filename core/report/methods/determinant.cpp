// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/methods/determinant.h"

#include "core/report/methods/freerows.h"

namespace ravno {
namespace {

Determinant::Column pivotOf(const FreeRows &rows, int found, int column)
{
    if (found < 0)
        return {};
    return {found, rows.numerator(found, column), rows.denominator(found)};
}

// The elimination of `rows` from `column` on, up to column `n` (not
// included), added to `d`; the columns from `n` on are left as they stand.
// The rows are those of the matrix from `offset` on, whose scales'
// product is `scales`.
void eliminate(FreeRows &rows, Determinant &d, int column, int n, Pivot pivot, int offset,
               const mpz_class &scales)
{
    for (; column < n; ++column) {
        const int found = rows.pivotRow(column, column, pivot);
        d.columns.push_back(pivotOf(rows, found, column));
        d.columns.back().pivotRow += found < 0 ? 0 : offset;
        if (found < 0) {
            d.value = 0;
            return;
        }
        if (found != column) {
            rows.exchange(column, found);
            d.negative = !d.negative;
        }
        rows.clearBelow(column, column, n);
    }
    // The last pivot is the determinant of the rows' whole numbers.
    d.value = mpq_class(rows.lastPivot(), scales);
    d.value.canonicalize();
    if (d.negative)
        d.value = -d.value;
}

} // namespace

Determinant determinant(const ExactRows &system, Pivot pivot)
{
    const int n = system.rows();
    FreeRows rows(system, n);
    Determinant d;
    eliminate(rows, d, 0, n, pivot, 0, rows.scales());
    return d;
}

std::vector<Determinant> cramerDeterminants(const ExactRows &system, Pivot pivot)
{
    const int n = system.rows();
    // [A | b], b carried along for the Δi.
    FreeRows rows(system, n + 1);
    const mpz_class scales = rows.scales();
    std::vector<FreeRows> before; // the elimination before column i, from row and column i on
    before.reserve(std::size_t(n));
    Determinant delta;
    delta.columns.reserve(std::size_t(n));
    for (int column = 0; column < n; ++column) {
        before.push_back(rows.tail(column));
        const int found = rows.pivotRow(column, column, pivot);
        delta.columns.push_back(pivotOf(rows, found, column));
        if (found < 0)
            return {delta}; // value 0
        if (found != column) {
            rows.exchange(column, found);
            delta.negative = !delta.negative;
        }
        rows.clearBelow(column, column);
    }
    delta.value = mpq_class(rows.lastPivot(), scales);
    delta.value.canonicalize();
    if (delta.negative)
        delta.value = -delta.value;
    std::vector<Determinant> out;
    out.reserve(std::size_t(n + 1));
    out.push_back(delta);
    for (int i = 0; i < n; ++i) {
        // Its columns i..n-1, then b.
        FreeRows replaced = std::move(before[std::size_t(i)]);
        replaced.copyColumn(n - i, 0);
        Determinant d;
        d.columns.reserve(std::size_t(n));
        d.columns.assign(delta.columns.begin(), delta.columns.begin() + i);
        for (int k = 0; k < i; ++k)
            d.negative ^= delta.columns[std::size_t(k)].pivotRow != k;
        eliminate(replaced, d, 0, n - i, pivot, i, scales);
        out.push_back(std::move(d));
    }
    return out;
}

} // namespace ravno
