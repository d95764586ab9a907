// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exactelimination.h"

#include <algorithm>
#include <climits>
#include <type_traits>
#include <utility>

namespace ravno {
namespace {

__extension__ typedef __int128 Wide;
__extension__ typedef unsigned __int128 UnsignedWide;

// A number of the machine-word pass that no longer fits sets `overflow`
// and stands as 0: the elimination then starts again in GMP integers. A
// flag, not an exception, because the pass overflows in most solves of
// two-digit integers, and unwinding costs more than the column left.
std::int64_t narrow(Wide v, bool &overflow)
{
    if (v > INT64_MAX || v <= INT64_MIN) {
        overflow = true;
        return 0;
    }
    return std::int64_t(v);
}

// Exact division by a machine word: the quotient is the dividend times the
// inverse of the divisor's odd part modulo 2^64, checked by multiplying
// back, which also tells a quotient beyond a word.
class WordDivisor
{
public:
    explicit WordDivisor(std::int64_t divisor) : m_divisor(divisor)
    {
        std::uint64_t odd = divisor < 0 ? 0 - std::uint64_t(divisor) : std::uint64_t(divisor);
        m_shift = __builtin_ctzll(odd);
        odd >>= m_shift;
        std::uint64_t inverse = odd; // right in 3 bits; each step doubles them
        for (int i = 0; i < 5; ++i)
            inverse *= 2 - odd * inverse;
        m_inverse = inverse;
    }

    std::int64_t divide(Wide dividend, bool &overflow) const
    {
        if (m_divisor == 1)
            return narrow(dividend, overflow);
        std::int64_t q = std::int64_t(std::uint64_t(dividend >> m_shift) * m_inverse);
        if (q == INT64_MIN) {
            overflow = true;
            return 0;
        }
        if (m_divisor < 0)
            q = -q;
        if (Wide(q) * m_divisor != dividend) {
            overflow = true;
            return 0;
        }
        return q;
    }

private:
    std::int64_t m_divisor;
    int m_shift = 0;
    std::uint64_t m_inverse = 1;
};

struct WordArithmetic
{
    using Int = std::int64_t;
    using Divisor = WordDivisor;

    static std::uint64_t magnitude(Int v) { return v < 0 ? 0 - std::uint64_t(v) : std::uint64_t(v); }
    static int sign(Int v) { return (v > 0) - (v < 0); }
    static Int one() { return 1; }
    static Divisor divisor(Int d) { return WordDivisor(d); }
    static mpz_class big(Int v) { return mpz_class(static_cast<signed long>(v)); }
    // |a| / sa > |b| / sb, the scales positive.
    static bool greater(Int a, Int sa, Int b, Int sb)
    {
        using U = UnsignedWide;
        return U(magnitude(a)) * U(std::uint64_t(sb)) > U(magnitude(b)) * U(std::uint64_t(sa));
    }
    Int product(Int a, Int b) { return narrow(Wide(a) * b, overflow); }
    static void negate(Int &v) { v = -v; }
    // out = (p x - m y) / previous, exact.
    void combine(Int &out, Int p, Int x, Int m, Int y, const Divisor &previous)
    {
        out = previous.divide(Wide(p) * x - Wide(m) * y, overflow);
    }
    // (d b - sum row[c] x[c] over c in from..to-1) / divisor, exact.
    Int substitute(Int d, Int b, const Int *row, const std::vector<Int> &x, int from, int to, Int divisor)
    {
        Wide sum = Wide(d) * b;
        for (int c = from; c < to; ++c) {
            const Wide term = Wide(row[c]) * x[std::size_t(c)];
            if (__builtin_sub_overflow(sum, term, &sum)) {
                overflow = true;
                return 0;
            }
        }
        return WordDivisor(divisor).divide(sum, overflow);
    }

    bool overflow = false;
};

struct BigArithmetic
{
    using Int = mpz_class;
    using Divisor = mpz_class;

    static int sign(const Int &v) { return sgn(v); }
    static Int one() { return 1; }
    static const Divisor &divisor(const Int &d) { return d; }
    static const mpz_class &big(const Int &v) { return v; }
    bool greater(const Int &a, const Int &sa, const Int &b, const Int &sb)
    {
        mpz_mul(left.get_mpz_t(), a.get_mpz_t(), sb.get_mpz_t());
        mpz_mul(right.get_mpz_t(), b.get_mpz_t(), sa.get_mpz_t());
        return mpz_cmpabs(left.get_mpz_t(), right.get_mpz_t()) > 0;
    }
    static Int product(const Int &a, const Int &b) { return a * b; }
    static constexpr bool overflow = false;
    static void negate(Int &v) { mpz_neg(v.get_mpz_t(), v.get_mpz_t()); }
    void combine(Int &out, const Int &p, const Int &x, const Int &m, const Int &y, const Divisor &previous)
    {
        mpz_mul(left.get_mpz_t(), p.get_mpz_t(), x.get_mpz_t());
        mpz_submul(left.get_mpz_t(), m.get_mpz_t(), y.get_mpz_t());
        if (previous == 1)
            mpz_swap(out.get_mpz_t(), left.get_mpz_t());
        else
            mpz_divexact(out.get_mpz_t(), left.get_mpz_t(), previous.get_mpz_t());
    }
    Int substitute(const Int &d, const Int &b, const Int *row, const std::vector<Int> &x, int from, int to,
                   const Int &divisor)
    {
        Int sum = d * b;
        for (int c = from; c < to; ++c)
            mpz_submul(sum.get_mpz_t(), row[c].get_mpz_t(), x[std::size_t(c)].get_mpz_t());
        mpz_divexact(sum.get_mpz_t(), sum.get_mpz_t(), divisor.get_mpz_t());
        return sum;
    }

    mpz_class left, right;
};

// Rows over their denominators, each made positive.
template<class Int>
ExactRows rowsOf(int columns, std::vector<Int> values, std::vector<Int> denominators)
{
    for (std::size_t i = 0; i < denominators.size(); ++i) {
        if (denominators[i] < 0) {
            denominators[i] = -denominators[i];
            for (int j = 0; j < columns; ++j)
                values[i * std::size_t(columns) + std::size_t(j)] = -values[i * std::size_t(columns) + std::size_t(j)];
        }
    }
    return ExactRows(columns, std::move(values), std::move(denominators));
}

// The Bareiss elimination of a system given as whole numbers a over row
// scales s (the value at (i, j) is a(i, j) / s(i)). Once column k is done,
// a row i below k holds its values over s(i) times the pivot of column k,
// and a row the elimination has passed keeps them over s(i) times the
// pivot of the column before it.
template<class Arithmetic>
class Elimination
{
public:
    using Int = typename Arithmetic::Int;

    // Starts at column `from`, the columns before done with `previous` the
    // last pivot.
    Elimination(int n, std::vector<Int> values, std::vector<Int> scales, int from = 0,
                Int previous = Arithmetic::one())
        : m_n(n), m_width(n + 1), m_a(std::move(values)), m_s(std::move(scales)), m_from(from),
          m_previous(std::move(previous))
    {
    }

    // Where a machine-word run that overflowed stands: the column it was in
    // and the numbers as that column began.
    struct Saved
    {
        int column = 0;
        std::vector<Int> values, scales;
        Int previous;
    };
    const Saved &saved() const { return m_saved; }
    // A machine-word run that stopped where a number overflowed, with
    // nothing recorded.
    bool overflowed() const { return m_arithmetic.overflow; }

    void run(SolveRecord &record, std::vector<EliminationStep> *steps)
    {
        const int n = m_n;
        Int previous = m_previous;
        for (int k = m_from; k <= n - 2; ++k) {
            save(k, previous);
            int pivotRow = -1;
            for (int i = k; i < n; ++i)
                if (Arithmetic::sign(at(i, k)) != 0
                    && (pivotRow < 0 || m_arithmetic.greater(at(i, k), m_s[std::size_t(i)], at(pivotRow, k), m_s[std::size_t(pivotRow)])))
                    pivotRow = i;
            if (pivotRow < 0) {
                ExactRows left = rows(k);
                if (m_arithmetic.overflow)
                    return;
                record.zeroColumn = k;
                record.left = std::move(left);
                return;
            }
            if (pivotRow != k) {
                std::swap_ranges(row(k), row(k) + m_width, row(pivotRow));
                std::swap(m_s[std::size_t(k)], m_s[std::size_t(pivotRow)]);
            }
            const Int &pivot = at(k, k);
            const auto divisor = Arithmetic::divisor(previous);
            for (int i = k + 1; i < n; ++i) {
                for (int j = k + 1; j <= n; ++j)
                    m_arithmetic.combine(at(i, j), pivot, at(i, j), at(i, k), at(k, j), divisor);
                at(i, k) = 0;
            }
            if (m_arithmetic.overflow)
                return;
            previous = pivot;
            if (steps) {
                ExactRows after = rows(k + 1);
                if (m_arithmetic.overflow)
                    return;
                steps->push_back({k, pivotRow, std::move(after)});
            }
        }

        save(n - 1, previous);
        const Int d = at(n - 1, n - 1);
        if (Arithmetic::sign(d) == 0) {
            ExactRows left = rows(n - 1, true);
            if (m_arithmetic.overflow)
                return;
            record.zeroColumn = n - 1;
            record.left = std::move(left);
            return;
        }
        // Back substitution on the whole numbers: with d the last pivot,
        // d x(i) is whole (Cramer's rule on the scaled system), so each
        // division is exact and the row scales cancel.
        std::vector<Int> numerators(static_cast<std::size_t>(n));
        numerators[std::size_t(n - 1)] = at(n - 1, n);
        for (int i = n - 2; i >= 0; --i)
            numerators[std::size_t(i)] = m_arithmetic.substitute(d, at(i, n), row(i), numerators, i + 1, n, at(i, i));
        ExactRows left = rows(n - 1, true);
        if (m_arithmetic.overflow)
            return;
        record.left = std::move(left);
        record.solution = rowsOf(1, std::move(numerators), std::vector<Int>(std::size_t(n), d));
        record.unique = true;
    }

private:
    Int &at(int i, int j) { return m_a[std::size_t(i) * std::size_t(m_width) + std::size_t(j)]; }
    Int *row(int i) { return m_a.data() + std::size_t(i) * std::size_t(m_width); }

    void save(int column, const Int &previous)
    {
        if constexpr (std::is_same_v<Arithmetic, WordArithmetic>) {
            m_saved.column = column;
            m_saved.values = m_a;
            m_saved.scales = m_s;
            m_saved.previous = previous;
        }
    }

    // The matrix once `done` columns are eliminated; the numbers are handed
    // over when it is the last.
    ExactRows rows(int done, bool last = false)
    {
        std::vector<Int> denominators;
        denominators.reserve(std::size_t(m_n));
        for (int i = 0; i < m_n; ++i) {
            const int last = std::min(i, done) - 1;
            denominators.push_back(last < 0 ? m_s[std::size_t(i)]
                                            : m_arithmetic.product(m_s[std::size_t(i)], at(last, last)));
        }
        return last ? rowsOf(m_width, std::move(m_a), std::move(denominators))
                    : rowsOf(m_width, m_a, std::move(denominators));
    }

    int m_n;
    int m_width;
    std::vector<Int> m_a;
    std::vector<Int> m_s;
    int m_from;
    Int m_previous;
    Saved m_saved;
    Arithmetic m_arithmetic;
};

// A system with zeros below the diagonal, as a solve leaves it, needs no
// elimination: each column's pivot is its diagonal entry and every
// multiplier 0, up to a column that is zero on and below the diagonal. The
// elimination would multiply each row by the pivots above it; in reduced
// fractions only the back substitution remains. False, with nothing
// recorded, for a system that needs the elimination.
bool solveEliminated(SolveRecord &record, std::vector<EliminationStep> *steps)
{
    const ExactRows &a = record.system;
    const int n = a.rows();
    for (int k = 0; k < n && record.zeroColumn < 0; ++k) {
        for (int i = k + 1; i < n; ++i)
            if (a.sign(i, k) != 0)
                return false;
        if (a.sign(k, k) == 0)
            record.zeroColumn = k;
    }
    record.left = a;
    for (int k = 0; steps && k <= n - 2 && (record.zeroColumn < 0 || k < record.zeroColumn); ++k)
        steps->push_back({k, k, a});
    if (record.zeroColumn >= 0)
        return true;
    const ExactMatrix matrix = a.matrix();
    ExactMatrix answers(std::size_t(n), std::vector<mpq_class>(1));
    for (int i = n - 1; i >= 0; --i) {
        mpq_class sum = matrix[std::size_t(i)][std::size_t(n)];
        for (int c = i + 1; c < n; ++c)
            sum -= matrix[std::size_t(i)][std::size_t(c)] * answers[std::size_t(c)][0];
        answers[std::size_t(i)][0] = sum / matrix[std::size_t(i)][std::size_t(i)];
    }
    record.solution = ExactRows(answers);
    record.unique = true;
    return true;
}

void eliminate(SolveRecord &record, std::vector<EliminationStep> *steps)
{
    const int n = record.system.rows();
    if (n < 1 || solveEliminated(record, steps))
        return;
    if (!record.system.inWords()) {
        Elimination<BigArithmetic>(n, record.system.bigValues(), record.system.bigDenominators()).run(record, steps);
        return;
    }
    Elimination<WordArithmetic> words(n, record.system.smallValues(), record.system.smallDenominators());
    words.run(record, steps);
    if (!words.overflowed())
        return;
    // The columns done stand; the one that overflowed is done again in GMP
    // integers, and the rest.
    const auto big = [](const std::vector<std::int64_t> &values) {
        std::vector<mpz_class> out;
        out.reserve(values.size());
        for (const std::int64_t v : values)
            out.emplace_back(static_cast<signed long>(v));
        return out;
    };
    const auto &saved = words.saved();
    Elimination<BigArithmetic>(n, big(saved.values), big(saved.scales), saved.column,
                               mpz_class(static_cast<signed long>(saved.previous)))
        .run(record, steps);
}

} // namespace

std::vector<mpq_class> SolveRecord::answers() const
{
    std::vector<mpq_class> out;
    for (int i = 0; i < solution.rows(); ++i)
        out.push_back(solution.value(i, 0));
    return out;
}

SolveRecord eliminateExactly(ExactRows system, bool recordSteps)
{
    SolveRecord record;
    record.system = std::move(system);
    if (recordSteps)
        record.steps.emplace().reserve(std::size_t(std::max(record.system.rows() - 1, 0)));
    eliminate(record, recordSteps ? &*record.steps : nullptr);
    return record;
}

SolveRecord eliminateExactly(const ExactMatrix &system)
{
    return eliminateExactly(ExactRows(system));
}

std::vector<EliminationStep> eliminationSteps(const SolveRecord &record)
{
    SolveRecord again;
    again.system = record.system;
    std::vector<EliminationStep> steps;
    steps.reserve(std::size_t(std::max(again.system.rows() - 1, 0)));
    eliminate(again, &steps);
    return steps;
}

} // namespace ravno
