// SPDX-License-Identifier: GPL-3.0-or-later
// What the report's tests share: a system solved as the main window solves
// it, and its report.
#pragma once

#include "core/text/arraytext.h"
#include "core/report/reporttext.h"
#include "core/report/report.h"
#include "core/exact/solver.h"

#include <QLocale>
#include <QTest>

namespace ravno::test {

inline const QLocale kRussian(QLocale::Russian, QLocale::Russia);

inline SolveResult solved(int order, const QString &contents)
{
    Workspace ws;
    ws.resize(order);
    fillFromText(ws, order, contents, QLocale::c());
    return solve(ws, QLocale::c());
}

inline Report reportOf(int order, const QString &contents)
{
    return buildReport(solved(order, contents).record);
}

// Each line is a whole line of the plain text.
inline void checkLines(int order, const QString &contents, const QStringList &lines, Method method = Method::Gauss)
{
    const QStringList shown = reportPlainText(reportOf(order, contents), kRussian, method).split(u'\n');
    for (const QString &line : lines)
        QVERIFY2(shown.contains(line), qPrintable(line));
    // On screen and paper the minus is "−", and no line ends in a full stop.
    for (const ReportBlock &block : reportBlocks(reportOf(order, contents), kRussian, Length::Short, method)) {
        QStringList texts{block.text};
        for (const QStringList &row : block.rows)
            texts << row;
        for (const QString &text : texts)
            QVERIFY2(!text.contains(u'-') && !text.endsWith(u'.'), qPrintable(text));
    }
}


} // namespace ravno::test
