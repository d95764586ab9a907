// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/methods/freerows.h"

#include "core/report/reportwriter.h"

#include <type_traits>
#include <utility>

namespace ravno {
namespace {

mpz_class big(std::int64_t v)
{
    return mpz_class(static_cast<signed long>(v));
}

} // namespace

FreeRows::FreeRows(const ExactRows &rows, int columns, bool identity)
    : m_rows(rows.rows()), m_columns(identity ? 2 * columns : columns)
{
    const std::size_t n = std::size_t(m_rows), width = std::size_t(rows.columns());
    if (rows.inWords()) {
        m_inWords = true;
        const std::vector<std::int64_t> &values = rows.smallValues();
        m_wordScales = rows.smallDenominators();
        m_over.assign(n, 1);
        m_scaled.assign(n, 1);
        m_words.assign(n * std::size_t(m_columns), 0);
        for (std::size_t i = 0; i < n; ++i) {
            for (int j = 0; j < columns; ++j)
                word(int(i), j) = values[i * width + std::size_t(j)];
            if (identity)
                word(int(i), columns + int(i)) = m_wordScales[i];
        }
        return;
    }
    std::vector<mpz_class> values = rows.bigValues();
    m_scales = rows.bigDenominators();
    m_denominators = m_scales;
    m_values.resize(n * std::size_t(m_columns));
    for (std::size_t i = 0; i < n; ++i) {
        for (int j = 0; j < columns; ++j)
            at(int(i), j) = std::move(values[i * width + std::size_t(j)]);
        if (identity)
            at(int(i), columns + int(i)) = m_scales[i];
    }
}

void FreeRows::widen()
{
    if (!m_inWords)
        return;
    m_values.clear();
    m_values.reserve(m_words.size());
    for (const std::int64_t v : m_words)
        m_values.push_back(big(v));
    m_scales.clear();
    m_denominators.clear();
    // Read while the rows are still in words.
    for (int i = 0; i < m_rows; ++i) {
        m_scales.push_back(big(m_wordScales[std::size_t(i)]));
        m_denominators.push_back(denominator(i));
    }
    m_pivot = big(m_wordPivot);
    m_inWords = false;
    m_words = {};
}

mpz_class FreeRows::numerator(int i, int j) const
{
    return m_inWords ? big(word(i, j)) : at(i, j);
}

mpz_class FreeRows::denominator(int i) const
{
    if (!m_inWords)
        return m_denominators[std::size_t(i)];
    mpz_class out = big(m_over[std::size_t(i)]);
    if (m_scaled[std::size_t(i)])
        out *= static_cast<signed long>(m_wordScales[std::size_t(i)]);
    return out;
}

mpz_class FreeRows::lastPivot() const
{
    return m_inWords ? big(m_wordPivot) : m_pivot;
}

mpq_class FreeRows::value(int i, int j) const
{
    mpq_class out;
    if (m_inWords) {
        out = mpq_class(numerator(i, j), denominator(i));
    } else {
        out.get_num() = at(i, j);
        out.get_den() = m_denominators[std::size_t(i)];
    }
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
        const mpz_class den = m.denominator(i);
        for (int j = 0; j < m.columns(); ++j)
            cells << (m.sign(i, j) == 0 ? QStringLiteral("0") : number(m.numerator(i, j), den));
    }
    m_lastMatrix = std::size_t(-1);
    blocks.push_back(std::move(block));
}

bool FreeRows::greater(int i, int r, int k) const
{
    if (m_inWords)
        return ravno::greater(word(i, k), m_wordScales[std::size_t(i)], word(r, k), m_wordScales[std::size_t(r)]);
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
    if (m_inWords) {
        for (int j = 0; j < m_columns; ++j)
            std::swap(word(a, j), word(b, j));
        std::swap(m_wordScales[std::size_t(a)], m_wordScales[std::size_t(b)]);
        std::swap(m_over[std::size_t(a)], m_over[std::size_t(b)]);
        std::swap(m_scaled[std::size_t(a)], m_scaled[std::size_t(b)]);
        return;
    }
    for (int j = 0; j < m_columns; ++j)
        mpz_swap(at(a, j).get_mpz_t(), at(b, j).get_mpz_t());
    std::swap(m_scales[std::size_t(a)], m_scales[std::size_t(b)]);
    std::swap(m_denominators[std::size_t(a)], m_denominators[std::size_t(b)]);
}

void FreeRows::clearBelow(int row, int column, int last)
{
    const int end = last < 0 ? m_columns : last;
    int from = row + 1;
    if (m_inWords) {
        from = clearBelowInWords(row, column, end);
        if (from < 0)
            return;
        widen();
    }
    clearBelowBig(row, column, end, from);
}

void FreeRows::clearBelowBig(int row, int column, int end, int from)
{
    const mpz_class p = at(row, column);
    mpz_class t;
    for (int i = from; i < rows(); ++i) {
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
    int from = 0;
    if (m_inWords) {
        from = clearAroundInWords(row, column);
        if (from < 0)
            return;
        widen();
    }
    clearAroundBig(row, column, from);
}

void FreeRows::clearAroundBig(int row, int column, int from)
{
    const mpz_class p = at(row, column);
    mpz_class t;
    for (int i = from; i < rows(); ++i) {
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
    for (int i = 0; i < rows(); ++i) {
        if (m_inWords)
            word(i, to) = word(i, from);
        else
            at(i, to) = at(i, from);
    }
}

FreeRows FreeRows::tail(int from) const
{
    FreeRows out;
    out.m_rows = m_rows - from;
    out.m_columns = m_columns - from;
    out.m_inWords = m_inWords;
    const auto rest = [from](const auto &v) { return std::decay_t<decltype(v)>(v.begin() + from, v.end()); };
    if (m_inWords) {
        out.m_words.reserve(std::size_t(out.m_rows) * std::size_t(out.m_columns));
        for (int i = from; i < rows(); ++i)
            for (int j = from; j < m_columns; ++j)
                out.m_words.push_back(word(i, j));
        out.m_wordScales = rest(m_wordScales);
        out.m_over = rest(m_over);
        out.m_scaled = rest(m_scaled);
        out.m_wordPivot = m_wordPivot;
        return out;
    }
    out.m_values.reserve(std::size_t(out.m_rows) * std::size_t(out.m_columns));
    for (int i = from; i < rows(); ++i)
        for (int j = from; j < m_columns; ++j)
            out.m_values.push_back(at(i, j));
    out.m_scales = rest(m_scales);
    out.m_denominators = rest(m_denominators);
    out.m_pivot = m_pivot;
    return out;
}

mpz_class FreeRows::scales() const
{
    mpz_class product = 1;
    if (m_inWords) {
        for (const std::int64_t s : m_wordScales)
            product *= static_cast<signed long>(s);
        return product;
    }
    for (const mpz_class &s : m_scales)
        product *= s;
    return product;
}

} // namespace ravno
