// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exact/exactrows.h"

#include "core/exact/exactnumber.h"

#include <numeric>

namespace ravno {
namespace {

mpq_class smallRatio(std::int64_t num, std::int64_t den)
{
    const std::uint64_t magnitude = num < 0 ? 0 - std::uint64_t(num) : std::uint64_t(num);
    const std::uint64_t gcd = std::gcd(magnitude, std::uint64_t(den));
    return mpq_class(static_cast<signed long>(num / std::int64_t(gcd)),
                     static_cast<unsigned long>(den / std::int64_t(gcd)));
}

} // namespace

ExactRows::ExactRows(int columns, std::vector<std::int64_t> values, std::vector<std::int64_t> denominators)
    : m_columns(columns),
      m_data(std::make_shared<const Data>(Data{std::move(values), std::move(denominators), {}, {}}))
{
}

ExactRows::ExactRows(int columns, std::vector<mpz_class> values, std::vector<mpz_class> denominators)
    : m_columns(columns),
      m_data(std::make_shared<const Data>(Data{{}, {}, std::move(values), std::move(denominators)}))
{
}

ExactRows::ExactRows(int columns, std::vector<std::int64_t> words, std::vector<std::int64_t> wordDenominators,
                     std::vector<mpz_class> big, std::vector<mpz_class> bigDenominators)
    : m_columns(columns),
      m_data(std::make_shared<const Data>(Data{std::move(words), std::move(wordDenominators), std::move(big),
                                               std::move(bigDenominators)}))
{
}

ExactRows::ExactRows(const ExactMatrix &matrix)
    : m_columns(matrix.empty() ? 0 : int(std::ssize(matrix.front())))
{
    Data data;
    for (const auto &row : matrix) {
        mpz_class den = 1;
        for (const mpq_class &v : row)
            mpz_lcm(den.get_mpz_t(), den.get_mpz_t(), v.get_den_mpz_t());
        for (const mpq_class &v : row)
            data.bigValues.push_back(v.get_num() * (den / v.get_den()));
        data.bigDenominators.push_back(std::move(den));
    }
    m_data = std::make_shared<const Data>(std::move(data));
}

mpq_class ExactRows::value(int row, int column) const
{
    if (inWords(row))
        return smallRatio(word(row, column), wordDenominator(row));
    mpq_class out(big(row, column), bigDenominator(row));
    out.canonicalize();
    return out;
}

ExactMatrix ExactRows::matrix() const
{
    ExactMatrix out(static_cast<std::size_t>(rows()));
    for (int i = 0; i < rows(); ++i) {
        out[std::size_t(i)].reserve(std::size_t(m_columns));
        for (int j = 0; j < m_columns; ++j)
            out[std::size_t(i)].push_back(value(i, j));
    }
    return out;
}

int ExactRows::sign(int row, int column) const
{
    if (inWords(row)) {
        const std::int64_t v = word(row, column);
        return (v > 0) - (v < 0);
    }
    return sgn(big(row, column));
}

double ExactRows::nearestBeyondWords(int row, int column) const
{
    if (inWords(row))
        return nearestRatio(word(row, column), wordDenominator(row));
    return nearestRatio(big(row, column), bigDenominator(row));
}

void ExactRows::appendRounded(QString &out, int row, int column, const QString &point,
                              const QLocale &locale) const
{
    if (inWords(row))
        appendRatio(out, word(row, column), wordDenominator(row), point, locale);
    else
        appendRatio(out, big(row, column), bigDenominator(row), point, locale);
}

namespace {

std::vector<mpz_class> widened(const std::vector<std::int64_t> &words, const std::vector<mpz_class> &big)
{
    std::vector<mpz_class> out;
    out.reserve(words.size() + big.size());
    for (const std::int64_t v : words)
        out.emplace_back(static_cast<signed long>(v));
    out.insert(out.end(), big.begin(), big.end());
    return out;
}

} // namespace

std::vector<mpz_class> ExactRows::bigValues() const
{
    if (!m_data)
        return {};
    return widened(m_data->smallValues, m_data->bigValues);
}

std::vector<mpz_class> ExactRows::bigDenominators() const
{
    if (!m_data)
        return {};
    return widened(m_data->smallDenominators, m_data->bigDenominators);
}

} // namespace ravno
