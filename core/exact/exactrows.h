// SPDX-License-Identifier: GPL-3.0-or-later
// Rows of exact values kept as the fraction-free elimination works on them:
// each row whole numbers over one positive denominator of its own. The
// first rows are in machine words, as far as every number of a row fits
// one, the rest in GMP integers: the elimination leaves its early rows
// small and only the last ones grow. Nothing
// is reduced until a value is asked for; the nearest double and the answer
// form "##0.000" are found from the unreduced numbers. The solver, the
// workspace and the detailed report hold systems this way.
#pragma once

#include "core/text/answerformat.h"
#include "core/exact/exactnumber.h"

#include <gmpxx.h>

#include <QLocale>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace ravno {

// n rows of n + 1 exact values; the last column is the right-hand side.
using ExactMatrix = std::vector<std::vector<mpq_class>>;

class ExactRows
{
public:
    ExactRows() = default;
    // Rows of `columns` numbers each, row-major, with one denominator a row
    // (every one positive); the machine-word form never holds INT64_MIN.
    ExactRows(int columns, std::vector<std::int64_t> values, std::vector<std::int64_t> denominators);
    ExactRows(int columns, std::vector<mpz_class> values, std::vector<mpz_class> denominators);
    // The rows of `words` (one denominator each in `wordDenominators`)
    // first, then those of `big`.
    ExactRows(int columns, std::vector<std::int64_t> words, std::vector<std::int64_t> wordDenominators,
              std::vector<mpz_class> big, std::vector<mpz_class> bigDenominators);
    explicit ExactRows(const ExactMatrix &matrix);

    int rows() const
    {
        return m_data ? int(std::ssize(m_data->smallDenominators) + std::ssize(m_data->bigDenominators)) : 0;
    }
    int columns() const { return m_columns; }
    // Every row in machine words.
    bool inWords() const { return m_data && m_data->bigDenominators.empty() && !m_data->smallDenominators.empty(); }
    // The row is in machine words.
    bool inWords(int row) const { return std::size_t(row) < m_data->smallDenominators.size(); }

    // The value in lowest terms.
    mpq_class value(int row, int column) const;
    ExactMatrix matrix() const;
    int sign(int row, int column) const;
    // The double nearest the value, halves to even; infinity beyond range.
    double nearest(int row, int column) const
    {
        if (inWords(row)) {
            // Both exact in a double: the division rounds once, to nearest.
            constexpr std::int64_t exact = std::int64_t(1) << 53;
            const std::int64_t num = word(row, column);
            const std::int64_t den = wordDenominator(row);
            if (num <= exact && num >= -exact && den <= exact)
                return num == 0 ? 0.0 : double(num) / double(den);
        }
        return nearestBeyondWords(row, column);
    }
    // appendExact() of the value.
    void appendRounded(QString &out, int row, int column, const QString &point,
                       const QLocale &locale) const;

    // writeAnswer() of the value; false, with nothing written, when it
    // rounds to a thousandths count beyond a machine word.
    bool writeRounded(char16_t *&out, int row, int column, char16_t point) const
    {
        if (inWords(row))
            return writeAnswer(out, word(row, column), wordDenominator(row), point);
        return writeAnswer(out, big(row, column), bigDenominator(row), point);
    }

    // The numbers as GMP integers, every row, for the elimination beyond
    // machine words.
    std::vector<mpz_class> bigValues() const;
    std::vector<mpz_class> bigDenominators() const;
    // The rows in machine words, while inWords().
    const std::vector<std::int64_t> &smallValues() const { return m_data->smallValues; }
    const std::vector<std::int64_t> &smallDenominators() const { return m_data->smallDenominators; }

private:
    double nearestBeyondWords(int row, int column) const;

    struct Data
    {
        std::vector<std::int64_t> smallValues, smallDenominators;
        std::vector<mpz_class> bigValues, bigDenominators;
    };

    std::int64_t word(int row, int column) const
    {
        return m_data->smallValues[std::size_t(row) * std::size_t(m_columns) + std::size_t(column)];
    }
    std::int64_t wordDenominator(int row) const { return m_data->smallDenominators[std::size_t(row)]; }
    const mpz_class &big(int row, int column) const
    {
        const std::size_t r = std::size_t(row) - m_data->smallDenominators.size();
        return m_data->bigValues[r * std::size_t(m_columns) + std::size_t(column)];
    }
    const mpz_class &bigDenominator(int row) const
    {
        return m_data->bigDenominators[std::size_t(row) - m_data->smallDenominators.size()];
    }

    int m_columns = 0;
    std::shared_ptr<const Data> m_data;
};

} // namespace ravno
