// SPDX-License-Identifier: GPL-3.0-or-later
// The check window's words: each step as a formula ("R2 = R2 - (1/2)·R1")
// and as a course would say it («из строки 2 вычитается строка 1,
// умноженная на 1/2»), the verdict on the matrix's form, and the whole
// session as blocks for the copy and the printed pages (the detailed
// report's blocks, ui/report/reportprint.h), as plain text and as the
// window's HTML. Matrices read one row a line, the right-hand side after
// a bar.
#pragma once

#include "core/check/checksession.h"
#include "core/text/exacttext.h"
#include "core/report/reporttext.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

namespace ravno {

QString operationFormula(const RowOperation &operation, const QLocale &locale);
QString operationWords(const RowOperation &operation, const QLocale &locale);
// Empty when the matrix is in neither form.
QString shapeVerdict(MatrixShape shape);

std::vector<QStringList> matrixCells(const ExactMatrix &matrix, const QLocale &locale, Length length);

std::vector<ReportBlock> checkBlocks(const CheckSession &session, const QLocale &locale, Length length);
QString checkPlainText(const CheckSession &session, const QLocale &locale);
QString checkHtml(const CheckSession &session, const QLocale &locale);

// "строка 2, столбец 3: должно быть 15/2, а не 7", or that the row is as
// it was.
QString rowVerdictText(const RowVerdict &verdict, int row);
QString answerVerdictText(const AnswerVerdict &verdict);
// The note as the step list shows it: the student's line and the verdict.
QString noteText(const CheckNote &note);

// What a screen reader is told of the matrix now: the last step (or the
// system), the matrix one row a line, and the verdict.
QString currentAnnouncement(const CheckSession &session, const QLocale &locale);

} // namespace ravno
