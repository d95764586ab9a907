// SPDX-License-Identifier: GPL-3.0-or-later
// A row the student computed, as on paper ("2: 0 5/2 | 15/2"), checked
// against the matrix it was worked from: accepted as the one operation on
// that row that gives it (row i plus c·row j, c·row i, or a·row i + b·row j),
// or the first entry where it differs from the nearest such row named with
// what it should be. The nearest row is the one, of the operations with one
// number c, that agrees with the student's row in the most entries, c being
// fixed by the first entry where the student's row differs from row i;
// ties go to the smaller j. The check session calls it.
#pragma once

#include "core/check/rowapply.h"

#include <vector>

namespace ravno {

struct [[nodiscard]] TypedRow
{
    enum class Failure { None, NoRow, RowOutOfRange, ZeroDenominator, Unreadable, WrongCount };
    Failure failure = Failure::NoRow; // NoRow: the line is no typed row at all
    int row = 0;                      // from 0
    long long typedRow = 0;
    std::vector<mpq_class> values;
    qsizetype at = 0; // where the reading stopped
    int count = 0;    // for WrongCount: how many numbers were typed
};

// "k: a1 a2 ... | b" or without the bar, for a system of `order` equations.
TypedRow parseTypedRow(QStringView line, int order);

struct RowVerdict
{
    bool matches = false;
    bool unchanged = false;  // the row as it already stands
    RowOperation operation;  // when it matches
    int column = 0;          // otherwise: the first entry that differs, from 0
    mpq_class expected;
    mpq_class typed;
};

RowVerdict checkTypedRow(const ExactMatrix &matrix, int row, const std::vector<mpq_class> &typed);

} // namespace ravno
