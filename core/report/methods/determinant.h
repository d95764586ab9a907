// SPDX-License-Identifier: GPL-3.0-or-later
// The determinant of a square matrix in exact fractions, by elimination to
// triangular form: the product of the pivots, its sign changed by each
// exchange of rows. Cramer's rule writes its working; every report ends
// with the value.
#pragma once

#include "core/exact/exactrows.h"
#include "core/report/report.h"

#include <vector>

namespace ravno {

struct Determinant
{
    struct Column
    {
        int pivotRow = -1; // where the pivot was, -1 when the column is 0 there
        // The pivot as the elimination held it, in whatever terms: it is
        // reduced, if at all, only when written.
        mpz_class numerator = 0, denominator = 1;
    };
    std::vector<Column> columns; // in order, up to the first without a pivot
    bool negative = false;       // an odd number of exchanges
    mpq_class value;
};

// Of the coefficients of `system` (n rows of n + 1), the pivots chosen by
// `pivot`'s rule.
Determinant determinant(const ExactRows &system, Pivot pivot);

// Cramer's Δ of `system`, then, when it is not 0, each Δi, that of the
// coefficients with column i replaced by the right-hand side, each worked
// out as determinant() would. The elimination of Δi is, for its first i
// columns, that of the system itself (a column's pivot depends only on the
// columns before it), so each Δi goes on from where the system's
// elimination stood before column i.
std::vector<Determinant> cramerDeterminants(const ExactRows &system, Pivot pivot);

} // namespace ravno
