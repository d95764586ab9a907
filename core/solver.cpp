// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/solver.h"

#include "core/numbertext.h"
#include "core/singularity.h"

#include <cmath>

namespace ravno {
namespace {

QString matrixText(const Workspace &ws, const QLocale &locale)
{
    QString text;
    const int n = ws.order();
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j <= n; ++j)
            text += formatAnswer(ws.at(i, j), locale) + QStringLiteral("  ");
        text += QStringLiteral("\r\n");
    }
    return text;
}

// Forward elimination; false when some pivot column is zero on and below
// the diagonal.
bool eliminate(Workspace &ws)
{
    const int n = ws.order();
    for (int k = 0; k <= n - 2; ++k) {
        int pivot = -1;
        double largest = 0;
        for (int i = k; i < n; ++i) {
            if (std::fabs(ws.at(i, k)) > largest) {
                largest = std::fabs(ws.at(i, k));
                pivot = i;
            }
        }
        if (pivot == -1)
            return false;
        if (pivot != k)
            ws.swapRows(k, pivot);
        for (int i = k + 1; i < n; ++i) {
            const double f = ws.at(i, k) / ws.at(k, k);
            for (int j = 0; j <= n; ++j) {
                if (j == k)
                    ws.at(i, j) = 0;
                else
                    ws.at(i, j) = ws.at(i, j) - ws.at(k, j) * f;
            }
        }
    }
    return true;
}

void setSingleText(Workspace &ws, const QString &text)
{
    ws.answers().assign(1, Answer{text});
}

} // namespace

SolveResult solve(Workspace &ws, const QLocale &locale)
{
    SolveResult result;
    const int n = ws.order();

    // Asked of the system as entered; the elimination runs either way, so
    // that the eliminated matrix is shown as for an exact zero pivot.
    const bool singular = n >= 1 && isNumericallySingular(ws);
    if (n < 1 || !eliminate(ws) || ws.at(n - 1, n - 1) == 0 || singular) {
        result.outcome = SolveResult::Outcome::NoUniqueSolution;
        setSingleText(ws, kNoUniqueSolution);
        result.answerLine = kNoUniqueSolution;
        result.matrixText = matrixText(ws, locale);
        return result;
    }

    std::vector<double> x(static_cast<std::size_t>(n));
    x[std::size_t(n - 1)] = ws.at(n - 1, n) / ws.at(n - 1, n - 1);
    for (int i = n - 2; i >= 0; --i) {
        double s = 0;
        for (int c = i + 1; c <= n - 1; ++c)
            s += ws.at(i, c) * x[std::size_t(c)];
        x[std::size_t(i)] = (ws.at(i, n) - s) / ws.at(i, i);
    }

    result.matrixText = matrixText(ws, locale);
    for (double value : x) {
        if (!std::isfinite(value)) {
            result.outcome = SolveResult::Outcome::OutOfRange;
            setSingleText(ws, kOutOfRange);
            result.answerLine = kOutOfRange;
            return result;
        }
    }

    auto &answers = ws.answers();
    answers.assign(x.begin(), x.end());
    result.outcome = SolveResult::Outcome::Solved;
    for (double value : x)
        result.answerLine += formatAnswer(value, locale) + QStringLiteral("  ");
    return result;
}

} // namespace ravno
