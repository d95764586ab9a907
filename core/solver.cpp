// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/solver.h"

#include "core/exactelimination.h"
#include "core/exactnumber.h"


namespace ravno {
namespace {

QString matrixText(const ExactMatrix &matrix, const QLocale &locale)
{
    QString text;
    text.reserve(qsizetype(matrix.size() * (matrix.size() + 1) * 10));
    const QString point = locale.decimalPoint();
    for (const auto &row : matrix) {
        for (const mpq_class &value : row) {
            appendExact(text, value, point, locale);
            text += QLatin1StringView("  ");
        }
        text += QLatin1StringView("\r\n");
    }
    return text;
}

// The system as it stands: the exact matrix an earlier solve left, or the
// exact values of the doubles the editor wrote.
ExactMatrix exactSystem(const Workspace &ws)
{
    if (ws.exact())
        return *ws.exact();
    const int n = ws.order();
    ExactMatrix system(std::size_t(n), std::vector<mpq_class>(std::size_t(n + 1)));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j)
            system[std::size_t(i)][std::size_t(j)] = exactValue(ws.at(i, j));
    return system;
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
    if (n < 1) {
        setSingleText(ws, kNoUniqueSolution);
        result.answerLine = kNoUniqueSolution;
        return result;
    }

    result.record = eliminateExactly(exactSystem(ws));
    result.record.again = ws.exact().has_value();
    const ExactMatrix &eliminated = result.record.eliminated;
    result.matrixText = matrixText(eliminated, locale);
    ws.setExact(eliminated);

    if (!result.record.unique) {
        result.outcome = SolveResult::Outcome::NoUniqueSolution;
        setSingleText(ws, kNoUniqueSolution);
        result.answerLine = kNoUniqueSolution;
        return result;
    }

    std::vector<Answer> answers;
    for (const mpq_class &x : result.record.answers) {
        if (beyondDoubleRange(x)) {
            result.outcome = SolveResult::Outcome::OutOfRange;
            setSingleText(ws, kOutOfRange);
            result.answerLine = kOutOfRange;
            return result;
        }
        answers.emplace_back(nearestDouble(x));
        result.answerLine += formatExact(x, locale) + QStringLiteral("  ");
    }
    ws.answers() = std::move(answers);
    result.outcome = SolveResult::Outcome::Solved;
    return result;
}

} // namespace ravno
