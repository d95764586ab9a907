// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report ("Подробный отчет") of a solve, worked out from the
// solver's record: the system as solved, each column's elimination, and the
// answers with their check by multiplying back. Where the solver stopped at
// a zero column, the elimination is carried on here in exact arithmetic to
// tell a system without solutions from one with infinitely many, with the
// ranks and the general solution. core/report/reporttext.h writes it out; the
// report window shows it.
#pragma once

#include "core/exact/solverecord.h"

#include <vector>

namespace ravno {

// How the report's eliminations choose a column's pivot among the rows not
// yet used. The solver itself always takes the largest.
enum class Pivot {
    Largest,      // the largest in magnitude (partial pivoting)
    FirstNonZero, // the first that is not 0, as done by hand: no exchange
                  // unless the diagonal element is 0
};

// One column of the elimination as the report tells it.
struct ReportStep
{
    EliminationStep step;
    int row = 0; // where the pivot row goes: the column itself while the solver ran
};

// What a step took from `before`, the matrix it started from: its pivot,
// and the multiplier m of "row i -= m * pivot row" for a row i below the
// pivot's (counted after the exchange).
mpq_class stepPivot(const ExactMatrix &before, const ReportStep &done);
mpq_class stepMultiplier(const ExactMatrix &before, const ReportStep &done, int i);

// x = constant + perParameter[0]·t1 + perParameter[1]·t2 + ...
struct Affine
{
    mpq_class constant;
    std::vector<mpq_class> perParameter;
};

struct Report
{
    int order = 0;               // 0: nothing was solved
    ExactRows system;            // as solved
    bool again = false;          // the matrix an earlier solve left, solved again
    // The values of the system typed as fractions, row-major (empty when
    // none was): they are written as fractions, and so is every value
    // worked out from the system, while typed decimals stay decimals.
    std::vector<bool> fractionCells;
    Pivot pivot = Pivot::Largest;
    std::vector<ReportStep> steps; // the solver's, in the order taken
    bool unique = false;
    ExactRows answers;           // x1..xn, one a row, when unique

    // Without a unique solution.
    int zeroColumn = -1;             // where the solver stopped
    std::vector<ReportStep> continued; // the elimination carried on from there
    std::vector<int> parameterColumns; // columns without a pivot, in order: t1, t2, ...
    int rankCoefficients = 0;
    int rankAugmented = 0;
    // k (from 1) such that equations 1..k have no common solution and
    // 1..k-1 have one; 0 for a consistent system.
    int firstInconsistent = 0;
    std::vector<Affine> general; // x1..xn when consistent

    // The equations (from 0) that the answers, or the general solution for
    // any parameters, do not satisfy when multiplied back; empty when all hold.
    std::vector<int> failing;

    // The matrix where the elimination ended: triangular for a unique
    // solution, in echelon form otherwise.
    const ExactRows &lastMatrix() const;
};

// The steps are the record's when the solve recorded them, else the
// elimination is run again; no value is reduced until it is written. With
// the first non-zero pivot the elimination is run again by that rule.
Report buildReport(const SolveRecord &record, Pivot pivot = Pivot::Largest);

// The same solve's report with the other pivot rule.
Report withPivot(const Report &report, Pivot pivot);

// The row (from `from`) holding the pivot of `column` by `pivot`'s rule, -1
// when the column is 0 there.
int pivotRow(const ExactMatrix &m, int column, int from, Pivot pivot);

// The equations (from 0) of `system` that the answers x1..xn (one a row)
// do not satisfy, multiplied back in whole numbers.
std::vector<int> failingEquations(const ExactRows &system, const ExactRows &x);

} // namespace ravno
