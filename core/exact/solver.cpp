// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exact/solver.h"

#include "core/exact/exactelimination.h"
#include "core/exact/exactnumber.h"

#include <QVarLengthArray>

#include <algorithm>
#include <climits>
#include <cmath>

namespace ravno {
namespace {

// Written straight into the text's characters while every value rounds to
// a thousandths count in a machine word and the separator is one character:
// each value of `rows` followed by two blanks, each row by CR LF when
// `lineEnds`.
bool writeValues(QString &text, const ExactRows &rows, const QString &point, bool lineEnds)
{
    if (point.size() != 1)
        return false;
    // At most 22 characters a value, two blanks after it, CR LF a row.
    text = QString(qsizetype(rows.rows()) * (rows.columns() * 24 + 2), Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;
    const char16_t separator = point.front().unicode();
    for (int i = 0; i < rows.rows(); ++i) {
        for (int j = 0; j < rows.columns(); ++j) {
            if (!rows.writeRounded(out, i, j, separator))
                return false;
            *out++ = u' ';
            *out++ = u' ';
        }
        if (lineEnds) {
            *out++ = u'\r';
            *out++ = u'\n';
        }
    }
    text.truncate(out - begin);
    return true;
}

// Each value "##0.000" followed by two blanks, each row ended by CR LF when
// `lineEnds`: the matrix text, or with the answers' one column the answer
// line.
QString valuesText(const ExactRows &rows, const QString &point, const QLocale &locale, bool lineEnds)
{
    QString text;
    if (writeValues(text, rows, point, lineEnds))
        return text;
    text.clear();
    text.reserve(qsizetype(rows.rows() * rows.columns() * 10));
    for (int i = 0; i < rows.rows(); ++i) {
        for (int j = 0; j < rows.columns(); ++j) {
            rows.appendRounded(text, i, j, point, locale);
            text += QLatin1StringView("  ");
        }
        if (lineEnds)
            text += QLatin1StringView("\r\n");
    }
    return text;
}

// Each row of doubles as whole numbers over a power of ten: the shortest
// decimals of the row, scaled by the ten power of the one with the most
// places. In machine words while they fit, else in GMP integers.
ExactRows rowsOfDoubles(const Workspace &ws)
{
    const int n = ws.order();
    const int width = n + 1;
    std::vector<std::int64_t> digits(std::size_t(n * width));
    QVarLengthArray<int, 128> exponents(n * width);
    QVarLengthArray<int, 16> lowest(n);
    std::fill(exponents.begin(), exponents.end(), 0);
    std::fill(lowest.begin(), lowest.end(), 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < width; ++j) {
            const std::size_t at = std::size_t(i * width + j);
            // Whole numbers, most of what is typed, without the call.
            const double value = ws.at(i, j);
            if (std::fabs(value) < 0x1p53 && value == double(std::int64_t(value)))
                digits[at] = std::int64_t(value);
            else
                shortestDecimal(value, digits[at], exponents[at]);
            lowest[std::size_t(i)] = std::min(lowest[std::size_t(i)], exponents[at]);
        }

    static constexpr std::int64_t powers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000,
                                              100000000, 1000000000, 10000000000, 100000000000,
                                              1000000000000, 10000000000000, 100000000000000,
                                              1000000000000000, 10000000000000000,
                                              100000000000000000, 1000000000000000000};
    constexpr int largest = int(std::size(powers)) - 1;
    bool words = true;
    std::vector<std::int64_t> denominators(static_cast<std::size_t>(n));
    for (int i = 0; i < n && words; ++i) {
        const int places = -lowest[std::size_t(i)];
        words = places <= largest;
        if (words)
            denominators[std::size_t(i)] = powers[places];
        for (int j = 0; j < width && words; ++j) {
            std::int64_t &value = digits[std::size_t(i * width + j)];
            const int shift = exponents[std::size_t(i * width + j)] + places;
            words = shift <= largest && !__builtin_mul_overflow(value, powers[std::min(shift, largest)], &value)
                    && value != INT64_MIN;
        }
    }
    if (words)
        return ExactRows(width, std::move(digits), std::move(denominators));

    std::vector<mpz_class> values, bigDenominators;
    values.reserve(std::size_t(n * width));
    for (int i = 0; i < n; ++i) {
        mpz_class power;
        mpz_ui_pow_ui(power.get_mpz_t(), 10, unsigned(-lowest[std::size_t(i)]));
        bigDenominators.push_back(power);
        for (int j = 0; j < width; ++j) {
            std::int64_t d = 0;
            int exponent = 0;
            shortestDecimal(ws.at(i, j), d, exponent);
            mpz_ui_pow_ui(power.get_mpz_t(), 10, unsigned(exponent - lowest[std::size_t(i)]));
            values.push_back(mpz_class(static_cast<signed long>(d)) * power);
        }
    }
    return ExactRows(width, std::move(values), std::move(bigDenominators));
}

// The system as it stands: the exact matrix the editor typed or an earlier
// solve left, or the exact values of the doubles the editor wrote.
ExactRows exactSystem(Workspace &ws)
{
    if (std::optional<ExactRows> kept = ws.takeExact())
        return std::move(*kept);
    return rowsOfDoubles(ws);
}

void setSingleText(Workspace &ws, const QString &text)
{
    ws.answers().assign(1, Answer{text});
}

} // namespace

SolveResult solve(Workspace &ws, const QLocale &locale, bool recordSteps)
{
    SolveResult result;
    const int n = ws.order();
    if (n < 1) {
        setSingleText(ws, kNoUniqueSolution);
        result.answerLine = kNoUniqueSolution;
        return result;
    }

    const bool again = ws.exactIsSolved();
    std::vector<bool> fractionCells = ws.fractionCells();
    result.record = eliminateExactly(exactSystem(ws), recordSteps);
    result.record.again = again;
    result.record.fractionCells = std::move(fractionCells);
    const ExactRows &eliminated = result.record.left;
    const QString point = locale.decimalPoint();
    result.matrixText = valuesText(eliminated, point, locale, true);
    ws.setExact(eliminated);

    if (!result.record.unique) {
        result.outcome = SolveResult::Outcome::NoUniqueSolution;
        setSingleText(ws, kNoUniqueSolution);
        result.answerLine = kNoUniqueSolution;
        return result;
    }

    const ExactRows &x = result.record.solution;
    std::vector<Answer> &answers = ws.answers();
    answers.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        // The nearest double of the unreduced answer: infinite exactly
        // where beyondDoubleRange() holds, the rule the report follows too.
        const double nearest = x.nearest(i, 0);
        if (std::isinf(nearest)) {
            result.outcome = SolveResult::Outcome::OutOfRange;
            setSingleText(ws, kOutOfRange);
            result.answerLine = kOutOfRange;
            return result;
        }
        answers[std::size_t(i)] = nearest;
    }
    result.answerLine = valuesText(x, point, locale, false);
    result.outcome = SolveResult::Outcome::Solved;
    return result;
}

} // namespace ravno
