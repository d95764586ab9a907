// SPDX-License-Identifier: GPL-3.0-or-later
// What the exact elimination did, as data: the system it started from, the
// matrix it left and the exact answers, all as fraction-free rows (each
// value is reduced only when asked for). The solver fills it; the detailed
// report ("Подробный отчет") is built from it and shows the way to the
// answer, each column's pivot, exchange, multipliers and the matrix after
// it. The steps are recorded when the solve is asked to (the report window
// is open); otherwise eliminationSteps() (core/exact/exactelimination.h) works
// them out again when the report asks.
#pragma once

#include "core/exact/exactrows.h"

#include <optional>
#include <vector>

namespace ravno {

struct EliminationStep
{
    int column = 0;   // the column eliminated, from 0
    int pivotRow = 0; // the row the pivot was found in, before the exchange
    // The augmented matrix once this column is done. The pivot and the
    // multipliers are read from the matrix before the step (core/report/report.h).
    ExactRows after;
};

struct SolveRecord
{
    ExactRows system;   // the system as solved
    bool again = false; // it was the matrix an earlier solve left
    // The values of the system typed as fractions, row-major; empty when
    // none was (Workspace::fractionCells()).
    std::vector<bool> fractionCells;
    // The matrix as the elimination left it: upper triangular for a unique
    // solution, else as it stood when the zero column was found.
    ExactRows left;
    // False when a pivot column is zero on and below the diagonal; the
    // elimination then ends at that column, zeroColumn.
    bool unique = false;
    int zeroColumn = -1;
    ExactRows solution; // x1..xn, one a row, when unique
    // The steps in the order taken, when the solve recorded them.
    std::optional<std::vector<EliminationStep>> steps;

    // The same in lowest terms.
    ExactMatrix before() const { return system.matrix(); }
    ExactMatrix eliminated() const { return left.matrix(); }
    std::vector<mpq_class> answers() const;
};

} // namespace ravno
