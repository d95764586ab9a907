// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report in words: the plain text that is copied (one step a
// line, every fraction whole, powers of ten as "10^15") and the HTML the
// report window shows (long values shortened, powers as superscripts). Both,
// and the printed pages (ui/report/reportprint.h), are written from the
// same blocks.
#pragma once

#include "core/text/exacttext.h"
#include "core/report/report.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

namespace ravno {

struct ReportBlock
{
    enum class Kind { Heading, Column, Line, Matrix };
    Kind kind = Kind::Line;
    QString text;                // a heading, a column's title or a line
    std::vector<QStringList> rows; // a matrix: n rows of n + 1 cells, or of n or 2n
    int bar = -1;                  // the cells before "|": -1 all but the last, 0 none

    // The cells before "|", all of them when there is none.
    qsizetype barAt() const
    {
        const qsizetype cells = rows.empty() ? 0 : rows.front().size();
        return bar < 0 ? cells - 1 : bar == 0 ? cells : bar;
    }
};

// A matrix block a line a row, each column right-aligned to its widest
// cell, cells apart by a blank and " | " before the right-hand side.
QStringList matrixLines(const ReportBlock &block);

// How the report works the system out; the answers, kind and ranks are the
// same whichever it is.
enum class Method {
    Gauss,       // elimination, then back substitution
    GaussJordan, // each pivot made 1 and its column cleared above and below
    Cramer,      // x_i = Δi / Δ
    Inverse,     // x = A^(-1)·b, A^(-1) from [A | E]
};

std::vector<ReportBlock> reportBlocks(const Report &report, const QLocale &locale, Length length,
                                      Method method = Method::Gauss);

QString reportPlainText(const Report &report, const QLocale &locale, Method method = Method::Gauss);
QString reportHtml(const Report &report, const QLocale &locale, Method method = Method::Gauss);
// The HTML of blocks [from, to) of a report written Length::Short.
QString reportHtml(const std::vector<ReportBlock> &blocks, std::size_t from, std::size_t to);

} // namespace ravno
