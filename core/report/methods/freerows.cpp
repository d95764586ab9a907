// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/methods/freerows.h"

#include "core/report/reportwriter.h"

#include <utility>

namespace ravno {

FreeRows::FreeRows(const ExactRows &rows, int columns, bool identity)
    : m_columns(identity ? 2 * columns : columns)
{
    std::vector<mpz_class> values = rows.bigValues();
    m_scales = rows.bigDenominators();
    m_denominators = m_scales;
    const int n = int(m_scales.size());
    m_values.resize(std::size_t(n) * std::size_t(m_columns));
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < columns; ++j)
            at(i, j) = std::move(values[std::size_t(i) * std::size_t(rows.columns()) + std::size_t(j)]);
        if (identity)
            at(i, columns + i) = m_scales[std::size_t(i)];
    }
}

mpq_class FreeRows::value(int i, int j) const
{
    mpq_class out(at(i, j), m_denominators[std::size_t(i)]);
    out.canonicalize();
    return out;
}

ExactMatrix FreeRows::matrix() const
{
    ExactMatrix out(static_cast<std::size_t>(rows()));
    for (int i = 0; i < rows(); ++i) {
        auto &line = out[std::size_t(i)];
        line.reserve(std::size_t(m_columns));
        for (int j = 0; j < m_columns; ++j)
            line.push_back(sign(i, j) == 0 ? mpq_class(0) : value(i, j));
    }
    return out;
}

void Writer::matrix(const FreeRows &m, int bar)
{
    ReportBlock block{ReportBlock::Kind::Matrix, {}, {}, bar};
    for (int i = 0; i < m.rows(); ++i) {
        QStringList &cells = block.rows.emplace_back();
        cells.reserve(m.columns());
        for (int j = 0; j < m.columns(); ++j)
            cells << (m.sign(i, j) == 0 ? QStringLiteral("0") : number(m.numerator(i, j), m.denominator(i)));
    }
    m_lastMatrix = std::size_t(-1);
    blocks.push_back(std::move(block));
}

bool FreeRows::greater(int i, int r, int k) const
{
    const mpz_class left = at(i, k) * m_scales[std::size_t(r)];
    const mpz_class right = at(r, k) * m_scales[std::size_t(i)];
    return mpz_cmpabs(left.get_mpz_t(), right.get_mpz_t()) > 0;
}

int FreeRows::pivotRow(int column, int from, Pivot pivot) const
{
    int found = -1;
    for (int i = from; i < rows(); ++i) {
        if (sign(i, column) == 0)
            continue;
        if (pivot == Pivot::FirstNonZero)
            return i;
        if (found < 0 || greater(i, found, column))
            found = i;
    }
    return found;
}

void FreeRows::exchange(int a, int b)
{
    if (a == b)
        return;
    for (int j = 0; j < m_columns; ++j)
        mpz_swap(at(a, j).get_mpz_t(), at(b, j).get_mpz_t());
    std::swap(m_scales[std::size_t(a)], m_scales[std::size_t(b)]);
    std::swap(m_denominators[std::size_t(a)], m_denominators[std::size_t(b)]);
}

void FreeRows::clearBelow(int row, int column, int last)
{
    const int end = last < 0 ? m_columns : last;
    const mpz_class p = at(row, column);
    mpz_class t;
    for (int i = row + 1; i < rows(); ++i) {
        const mpz_class m = at(i, column);
        for (int j = column + 1; j < end; ++j) {
            mpz_mul(t.get_mpz_t(), p.get_mpz_t(), at(i, j).get_mpz_t());
            mpz_submul(t.get_mpz_t(), m.get_mpz_t(), at(row, j).get_mpz_t());
            mpz_divexact(at(i, j).get_mpz_t(), t.get_mpz_t(), m_pivot.get_mpz_t());
        }
        at(i, column) = 0;
        m_denominators[std::size_t(i)] = m_scales[std::size_t(i)] * p;
    }
    m_pivot = p;
}

void FreeRows::clearAround(int row, int column)
{
    const mpz_class p = at(row, column);
    mpz_class t;
    for (int i = 0; i < rows(); ++i) {
        if (i == row)
            continue;
        const mpz_class m = at(i, column);
        // Column by column the rows left of `column` hold 0 or, in a row
        // passed, its pivot, which becomes p: each division is exact.
        for (int j = 0; j < m_columns; ++j) {
            // 0 stays 0 where the pivot row has 0 too, as much of [A | E] has.
            if (j == column || (sgn(at(i, j)) == 0 && sgn(at(row, j)) == 0))
                continue;
            mpz_mul(t.get_mpz_t(), p.get_mpz_t(), at(i, j).get_mpz_t());
            if (sgn(m) != 0)
                mpz_submul(t.get_mpz_t(), m.get_mpz_t(), at(row, j).get_mpz_t());
            mpz_divexact(at(i, j).get_mpz_t(), t.get_mpz_t(), m_pivot.get_mpz_t());
        }
        at(i, column) = 0;
        m_denominators[std::size_t(i)] = i < row ? p : m_scales[std::size_t(i)] * p;
    }
    m_denominators[std::size_t(row)] = p;
    m_pivot = p;
}

void FreeRows::copyColumn(int from, int to)
{
    for (int i = 0; i < rows(); ++i)
        at(i, to) = at(i, from);
}

FreeRows FreeRows::tail(int from) const
{
    FreeRows out;
    out.m_columns = m_columns - from;
    out.m_values.reserve(std::size_t(rows() - from) * std::size_t(out.m_columns));
    for (int i = from; i < rows(); ++i)
        for (int j = from; j < m_columns; ++j)
            out.m_values.push_back(at(i, j));
    out.m_scales.assign(m_scales.begin() + from, m_scales.end());
    out.m_denominators.assign(m_denominators.begin() + from, m_denominators.end());
    out.m_pivot = m_pivot;
    return out;
}

mpz_class FreeRows::scales() const
{
    mpz_class product = 1;
    for (const mpz_class &s : m_scales)
        product *= s;
    return product;
}

} // namespace ravno
