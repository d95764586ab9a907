// SPDX-License-Identifier: GPL-3.0-or-later
// What the report's tests share: a system solved as the main window solves
// it, and its report.
#pragma once

#include "core/arraytext.h"
#include "core/report.h"
#include "core/solver.h"

#include <QLocale>

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

} // namespace ravno::test
