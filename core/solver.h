// SPDX-License-Identifier: GPL-3.0-or-later
// Row elimination with partial pivoting on the shared workspace. The main
// window runs it, shows the answer line and the eliminated matrix, and logs
// the line; the solver itself touches neither widgets nor files.
#pragma once

#include "core/workspace.h"

#include <QLocale>
#include <QString>

namespace ravno {

inline const QString kNoUniqueSolution = QStringLiteral("Одного решения нет");
inline const QString kOutOfRange = QStringLiteral("Ответ вне диапазона чисел");

struct SolveResult
{
    enum class Outcome { Solved, NoUniqueSolution, OutOfRange };
    Outcome outcome = Outcome::NoUniqueSolution;
    // What goes into the answer box and the log: the values as "##0.000",
    // each followed by two blanks, or one of the texts above.
    QString answerLine;
    // The matrix after elimination, every value "##0.000" and two blanks,
    // every row ended by CR LF.
    QString matrixText;
};

// Transforms the matrix in place into its row-exchanged upper-triangular
// form and writes the unknowns into the answers. Without a unique solution
// (a pivot column of exact zeros, or a system singular within rounding, see
// core/singularity.h) the answers become the single text
// "Одного решения нет"; when an unknown
// overflows the range of a double they become the single text
// "Ответ вне диапазона чисел". A workspace without a right-hand side (the
// single element left by "Выгрузить массив") has no unique solution.
SolveResult solve(Workspace &workspace, const QLocale &locale);

} // namespace ravno
