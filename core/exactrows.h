// SPDX-License-Identifier: GPL-3.0-or-later
// Rows of exact values kept as the fraction-free elimination works on them:
// each row whole numbers over one positive denominator of its own, in
// machine words while every number fits one, else in GMP integers. Nothing
// is reduced until a value is asked for; the nearest double and the answer
// form "##0.000" are found from the unreduced numbers. The solver, the
// workspace and the detailed report hold systems this way.
#pragma once

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
    explicit ExactRows(const ExactMatrix &matrix);

    int rows() const { return m_columns ? int(size() / std::size_t(m_columns)) : 0; }
    int columns() const { return m_columns; }
    bool inWords() const { return m_data && m_data->bigValues.empty() && !m_data->smallValues.empty(); }

    // The value in lowest terms.
    mpq_class value(int row, int column) const;
    ExactMatrix matrix() const;
    int sign(int row, int column) const;
    // The double nearest the value, halves to even; infinity beyond range.
    double nearest(int row, int column) const;
    // appendExact() of the value.
    void appendRounded(QString &out, int row, int column, const QString &point,
                       const QLocale &locale) const;

    // writeRatio() of the value; false, with nothing written, when it
    // rounds to a thousandths count beyond a machine word.
    bool writeRounded(char16_t *&out, int row, int column, char16_t point) const;

    // The numbers as GMP integers, for the elimination beyond machine words.
    std::vector<mpz_class> bigValues() const;
    std::vector<mpz_class> bigDenominators() const;
    const std::vector<std::int64_t> &smallValues() const { return m_data->smallValues; }
    const std::vector<std::int64_t> &smallDenominators() const { return m_data->smallDenominators; }

private:
    struct Data
    {
        std::vector<std::int64_t> smallValues, smallDenominators;
        std::vector<mpz_class> bigValues, bigDenominators;
    };

    std::size_t size() const
    {
        return !m_data ? 0 : inWords() ? m_data->smallValues.size() : m_data->bigValues.size();
    }
    std::size_t at(int row, int column) const
    {
        return std::size_t(row) * std::size_t(m_columns) + std::size_t(column);
    }

    int m_columns = 0;
    std::shared_ptr<const Data> m_data;
};

} // namespace ravno
