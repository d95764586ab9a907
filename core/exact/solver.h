// SPDX-License-Identifier: GPL-3.0-or-later
// Row elimination with partial pivoting on the shared workspace, in exact
// arithmetic. The main window runs it, shows the answer line and the
// eliminated matrix, logs the line and keeps the record for the detailed
// report; the solver itself touches neither widgets nor files.
#pragma once

#include "core/exact/solverecord.h"
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
    // What the elimination did, step by step, with the exact answers.
    SolveRecord record;
};

// Solves the system the workspace holds exactly: each double stands for its
// shortest decimal (exactValue()), or the exact matrix beside them is taken:
// the one the editor typed with fractions, or the one an earlier solve
// left. The workspace keeps the exact row-exchanged upper-triangular form
// beside its nearest doubles, and the unknowns as
// their nearest doubles; the texts show the exact values rounded once.
// Without a unique solution (a pivot column exactly zero on and below the
// diagonal) the answers become the single text "Одного решения нет"; when
// an unknown lies beyond the range of a double they become the single text
// "Ответ вне диапазона чисел". A workspace without a right-hand side (the
// single element left by "Выгрузить массив") has no unique solution.
// With `recordSteps` the record keeps the elimination's steps for the
// detailed report.
SolveResult solve(Workspace &workspace, const QLocale &locale, bool recordSteps = false);

} // namespace ravno
