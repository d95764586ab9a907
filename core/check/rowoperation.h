// SPDX-License-Identifier: GPL-3.0-or-later
// The row operations a student states in the check window ("Проверка
// решения"), one a line: read from the student's text by a small grammar of
// their own, refused with a reason when they are no elementary operation,
// and applied by core/check/rowapply.h. The check session
// (core/check/checksession.h) calls them; the window only passes the text.
//
// Accepted, with the row as R2, r2, С2, с2 (Cyrillic), C2, c2 or (2):
//   R2 - 1/2 R1, R2 + 3R1, R2 - (2/3)·R1, R2 = R2 - 1/2 R1, 2R2 - 3R1
//   R1 <-> R3, R1 ↔ R3
//   R2 * 3, R2 / -2, 3R2, R2 = 3R2
// Numbers are integers, decimals with a point or a comma, and fractions;
// the minus is "-" or "−".
#pragma once

#include "core/exact/exactrows.h"

#include <gmpxx.h>

#include <QStringView>

#include <optional>

namespace ravno {

struct RowOperation
{
    enum class Kind {
        Combine,  // row = factor·row + multiple·other
        Exchange, // row and other change places
        Scale,    // row = factor·row
    };
    Kind kind = Kind::Combine;
    int row = 0;   // from 0: the row replaced, or the first exchanged
    int other = 0; // from 0: the row whose multiple is added, or the second exchanged
    mpq_class factor = 1;
    mpq_class multiple = 0;
    bool divides = false; // a scale written as a division, by 1/factor
};

enum class OperationRefusal {
    None,
    NotAnOperation,     // the text stops being one at `at`
    RowOutOfRange,      // `typedRow` is no row of the system
    ZeroDenominator,    // a fraction over 0, or a division by 0, at `at`
    ZeroFactor,         // the row replaced is multiplied by 0
    RowAddedToItself,   // a multiple of the row replaced is added to it
    ExchangeWithItself, // a row exchanged with itself
};

struct [[nodiscard]] ParsedOperation
{
    OperationRefusal refusal = OperationRefusal::None;
    RowOperation operation;    // when refusal is None
    qsizetype at = 0;          // where the reading stopped, in UTF-16 units
    long long typedRow = 0;    // for RowOutOfRange, as typed (saturated)
    bool ok() const { return refusal == OperationRefusal::None; }
};

// Reads one operation on a system of `order` equations.
ParsedOperation parseOperation(QStringView line, int order);

// A number as the operations write it (signed or in brackets; whole, a
// decimal or a fraction) from `at`, which moves past it; nothing, with `at`
// left as it was, when there is none there. `zeroDenominator` tells a
// fraction over 0, `at` then standing at the 0.
std::optional<mpq_class> readNumber(QStringView text, qsizetype &at, bool &zeroDenominator);

} // namespace ravno
