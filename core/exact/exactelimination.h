// SPDX-License-Identifier: GPL-3.0-or-later
// Row elimination with partial pivoting in exact arithmetic. The solver
// hands it the system (n rows of n + 1 exact values) and shows what it
// leaves; the detailed report reads the record.
#pragma once

#include "core/exact/solverecord.h"

namespace ravno {

// Runs the elimination on `system` and records it: for each column k the
// first row from k down with the largest absolute value is the pivot, it is
// exchanged into row k and m times it is taken from each row below. A
// column that is zero on and below the diagonal (the last one included)
// ends it without a unique solution. The work is fraction-free (Bareiss):
// each row is whole numbers over a denominator of its own, and each step
// divides exactly by the pivot before it, in machine words while the
// numbers fit (checked), else in GMP integers; no fraction is reduced.
// With `recordSteps` the record keeps each column's step as well.
SolveRecord eliminateExactly(ExactRows system, bool recordSteps = false);
inline SolveRecord eliminateExactly(const ExactMatrix &system)
{
    return eliminateExactly(ExactRows(system));
}

// The steps of the elimination that made `record`, in the order taken, each
// with the matrix after its column; up to the zero column of a system
// without a unique solution. The elimination is run again on
// record.system, recording as it goes, for the detailed report of a solve
// that did not record them. The last step's matrix is record.left.
std::vector<EliminationStep> eliminationSteps(const SolveRecord &record);

} // namespace ravno
