// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exact/exactelimination.h"

#include "core/exact/wordarithmetic.h"

#include <algorithm>
#include <utility>

namespace ravno {
namespace {

// The Bareiss elimination of a system given as whole numbers a over row
// scales s (the value at (i, j) is a(i, j) / s(i)). Once column k is done,
// a row i below k holds its values over s(i) times the pivot of column k,
// and a row the elimination has passed keeps them over s(i) times the
// pivot of the column before it. It works in machine words until a number
// overflows; from there the rows still to be worked on are GMP integers,
// while the rows above, which no later column changes, stay in words.
class Elimination
{
public:
    Elimination(SolveRecord &record, std::vector<EliminationStep> *steps)
        : m_record(record), m_steps(steps), m_n(record.system.rows()), m_width(m_n + 1)
    {
        const ExactRows &system = record.system;
        if (system.inWords()) {
            m_words = system.smallValues();
            m_wordScales = system.smallDenominators();
            m_bigFrom = m_n;
        } else {
            m_big = system.bigValues();
            m_bigScales = system.bigDenominators();
            m_previous = 1;
        }
    }

    void run()
    {
        int k = 0;
        int resume = -1;
        if (m_bigFrom == m_n && !wordColumns(k, resume))
            widen(k);
        if (m_bigFrom < m_n)
            bigColumns(k, resume);
        if (m_zeroColumn < 0 && sign(m_n - 1, m_n - 1) == 0)
            m_zeroColumn = m_n - 1;
        if (m_zeroColumn >= 0) {
            m_record.zeroColumn = m_zeroColumn;
            m_record.left = rows(m_zeroColumn, true);
            return;
        }
        m_record.solution = solution();
        m_record.left = rows(m_n - 1, true);
        m_record.unique = true;
    }

private:
    bool inWords(int i) const { return i < m_bigFrom; }
    std::int64_t &word(int i, int j) { return m_words[std::size_t(i) * std::size_t(m_width) + std::size_t(j)]; }
    mpz_class &big(int i, int j)
    {
        return m_big[std::size_t(i - m_bigFrom) * std::size_t(m_width) + std::size_t(j)];
    }
    mpz_class &bigScale(int i) { return m_bigScales[std::size_t(i - m_bigFrom)]; }
    int sign(int i, int j) { return inWords(i) ? (word(i, j) > 0) - (word(i, j) < 0) : sgn(big(i, j)); }
    mpz_class bigValue(int i, int j) { return inWords(i) ? mpz_class(static_cast<signed long>(word(i, j))) : big(i, j); }

    void exchange(int k, int pivotRow)
    {
        m_pivotRow = pivotRow;
        if (pivotRow == k)
            return;
        if (inWords(k)) {
            std::swap_ranges(&word(k, 0), &word(k, 0) + m_width, &word(pivotRow, 0));
            std::swap(m_wordScales[std::size_t(k)], m_wordScales[std::size_t(pivotRow)]);
        } else {
            std::swap_ranges(&big(k, 0), &big(k, 0) + m_width, &big(pivotRow, 0));
            std::swap(bigScale(k), bigScale(pivotRow));
        }
    }

    // The columns in machine words from the first; false where a number
    // overflowed, in column k at row `resume`, the rows above it done.
    bool wordColumns(int &k, int &resume)
    {
        const int n = m_n;
        std::vector<std::int64_t> line;
        // Every magnitude of the rows still to be worked on, or-ed: below
        // 2^31, both products of a column fit 62 bits and the division by
        // the pivot before needs no check.
        std::uint64_t spread = 0;
        for (const std::int64_t v : m_words)
            spread |= magnitude(v);
        for (k = 0; k <= n - 2; ++k) {
            int pivotRow = -1;
            for (int i = k; i < n; ++i)
                if (word(i, k) != 0
                    && (pivotRow < 0
                        || greater(word(i, k), m_wordScales[std::size_t(i)], word(pivotRow, k),
                                   m_wordScales[std::size_t(pivotRow)])))
                    pivotRow = i;
            if (pivotRow < 0) {
                m_zeroColumn = k;
                return true;
            }
            exchange(k, pivotRow);
            const std::int64_t p = word(k, k);
            const WordDivisor divisor(m_previousWord);
            const bool small = spread < (std::uint64_t(1) << 31);
            spread = 0;
            for (int i = k + 1; i < n; ++i) {
                const std::int64_t m = word(i, k);
                if (small) {
                    for (int j = k + 1; j <= n; ++j) {
                        std::int64_t &v = word(i, j);
                        v = divisor.divideExactly(p * v - m * word(k, j));
                        spread |= magnitude(v);
                    }
                    word(i, k) = 0;
                    continue;
                }
                bool overflow = false;
                line.resize(std::size_t(m_width));
                for (int j = k + 1; j <= n; ++j) {
                    line[std::size_t(j)] = divisor.divide(Wide(p) * word(i, j) - Wide(m) * word(k, j), overflow);
                    spread |= magnitude(line[std::size_t(j)]);
                }
                if (overflow) {
                    resume = i;
                    return false;
                }
                std::copy(line.begin() + k + 1, line.end(), &word(i, k + 1));
                word(i, k) = 0;
            }
            m_previousWord = p;
            if (m_steps)
                recordStep(k);
        }
        return true;
    }

    // Rows `from` on become GMP integers.
    void widen(int from)
    {
        m_big.reserve(std::size_t(m_n - from) * std::size_t(m_width));
        for (int i = from; i < m_n; ++i) {
            for (int j = 0; j < m_width; ++j)
                m_big.emplace_back(static_cast<signed long>(word(i, j)));
            m_bigScales.emplace_back(static_cast<signed long>(m_wordScales[std::size_t(i)]));
        }
        m_bigFrom = from;
        m_previous = static_cast<signed long>(m_previousWord);
    }

    // The columns from k in GMP integers, every row from k on in them; a
    // column whose pivot is in place already goes on at row `resume`.
    void bigColumns(int k, int resume)
    {
        const int n = m_n;
        for (; k <= n - 2; ++k, resume = -1) {
            if (resume < 0) {
                int pivotRow = -1;
                for (int i = k; i < n; ++i)
                    if (sgn(big(i, k)) != 0 && (pivotRow < 0 || greaterBig(i, pivotRow, k)))
                        pivotRow = i;
                if (pivotRow < 0) {
                    m_zeroColumn = k;
                    return;
                }
                exchange(k, pivotRow);
                resume = k + 1;
            }
            const mpz_class &p = big(k, k);
            for (int i = resume; i < n; ++i) {
                const mpz_class &m = big(i, k);
                for (int j = k + 1; j <= n; ++j) {
                    mpz_mul(m_left.get_mpz_t(), p.get_mpz_t(), big(i, j).get_mpz_t());
                    mpz_submul(m_left.get_mpz_t(), m.get_mpz_t(), big(k, j).get_mpz_t());
                    if (m_previous == 1)
                        mpz_swap(big(i, j).get_mpz_t(), m_left.get_mpz_t());
                    else
                        mpz_divexact(big(i, j).get_mpz_t(), m_left.get_mpz_t(), m_previous.get_mpz_t());
                }
                big(i, k) = 0;
            }
            m_previous = p;
            if (m_steps)
                recordStep(k);
        }
    }

    // |a(i, k)| / s(i) > |a(r, k)| / s(r), both rows in GMP integers.
    bool greaterBig(int i, int r, int k)
    {
        mpz_mul(m_left.get_mpz_t(), big(i, k).get_mpz_t(), bigScale(r).get_mpz_t());
        mpz_mul(m_right.get_mpz_t(), big(r, k).get_mpz_t(), bigScale(i).get_mpz_t());
        return mpz_cmpabs(m_left.get_mpz_t(), m_right.get_mpz_t()) > 0;
    }

    // The unknowns by back substitution on the whole numbers: with d the
    // last pivot, d x(i) is whole (Cramer's rule on the scaled system), so
    // each division is exact and the row scales cancel. In words while they
    // fit.
    ExactRows solution()
    {
        const int n = m_n;
        if (m_bigFrom == n) {
            bool overflow = false;
            const std::int64_t d = word(n - 1, n - 1);
            std::vector<std::int64_t> x(static_cast<std::size_t>(n));
            x[std::size_t(n - 1)] = word(n - 1, n);
            for (int i = n - 2; i >= 0 && !overflow; --i)
                x[std::size_t(i)] = substitute(d, word(i, n), &word(i, 0), x, i + 1, n, word(i, i), overflow);
            if (!overflow)
                return answers(std::move(x), d);
        }
        const mpz_class d = bigValue(n - 1, n - 1);
        std::vector<mpz_class> x(static_cast<std::size_t>(n));
        x[std::size_t(n - 1)] = bigValue(n - 1, n);
        for (int i = n - 2; i >= 0; --i) {
            const mpz_ptr sum = x[std::size_t(i)].get_mpz_t();
            if (inWords(i)) {
                mpz_mul_si(sum, d.get_mpz_t(), word(i, n));
                for (int c = i + 1; c < n; ++c) {
                    const std::int64_t a = word(i, c);
                    if (a >= 0)
                        mpz_submul_ui(sum, x[std::size_t(c)].get_mpz_t(), std::uint64_t(a));
                    else
                        mpz_addmul_ui(sum, x[std::size_t(c)].get_mpz_t(), magnitude(a));
                }
                mpz_divexact_ui(sum, sum, magnitude(word(i, i)));
                if (word(i, i) < 0)
                    mpz_neg(sum, sum);
            } else {
                mpz_mul(sum, d.get_mpz_t(), big(i, n).get_mpz_t());
                for (int c = i + 1; c < n; ++c)
                    mpz_submul(sum, big(i, c).get_mpz_t(), x[std::size_t(c)].get_mpz_t());
                mpz_divexact(sum, sum, big(i, i).get_mpz_t());
            }
        }
        return answers(std::move(x), d);
    }

    // x(i) / d, d made positive.
    template<class Int>
    ExactRows answers(std::vector<Int> x, Int d)
    {
        if (d < 0) {
            d = -d;
            for (Int &v : x)
                v = -v;
        }
        const std::size_t n = x.size();
        return ExactRows(1, std::move(x), std::vector<Int>(n, d));
    }

    // The matrix once `done` columns are eliminated: row i over s(i) times
    // the pivot of the last column that passed it, made positive. Rows in
    // words stay so while their denominators fit. The numbers are handed
    // over when `last`.
    ExactRows rows(int done, bool last = false)
    {
        const int n = m_n;
        std::vector<std::int64_t> wordDenominators;
        wordDenominators.reserve(std::size_t(m_bigFrom));
        std::vector<mpz_class> bigDenominators;
        int w = 0; // rows in words
        for (; w < m_bigFrom; ++w) {
            const int passed = std::min(w, done) - 1;
            std::int64_t den = m_wordScales[std::size_t(w)];
            if (passed >= 0 && (__builtin_mul_overflow(den, word(passed, passed), &den) || den == INT64_MIN))
                break;
            wordDenominators.push_back(den);
        }
        for (int i = w; i < n; ++i) {
            const int passed = std::min(i, done) - 1;
            mpz_class den = inWords(i) ? mpz_class(static_cast<signed long>(m_wordScales[std::size_t(i)]))
                                       : bigScale(i);
            if (passed >= 0)
                den *= bigValue(passed, passed);
            bigDenominators.push_back(std::move(den));
        }
        std::vector<mpz_class> bigValues;
        if (last && w == m_bigFrom) {
            bigValues = std::move(m_big);
        } else {
            bigValues.reserve(std::size_t(n - w) * std::size_t(m_width));
            for (int i = w; i < n; ++i)
                for (int j = 0; j < m_width; ++j)
                    bigValues.push_back(bigValue(i, j));
        }
        std::vector<std::int64_t> wordValues;
        if (last && w == m_bigFrom) {
            m_words.resize(std::size_t(w) * std::size_t(m_width));
            wordValues = std::move(m_words);
        } else {
            wordValues.assign(m_words.begin(), m_words.begin() + std::ptrdiff_t(w) * m_width);
        }
        for (int i = 0; i < w; ++i)
            if (wordDenominators[std::size_t(i)] < 0) {
                wordDenominators[std::size_t(i)] = -wordDenominators[std::size_t(i)];
                for (int j = 0; j < m_width; ++j)
                    wordValues[std::size_t(i * m_width + j)] = -wordValues[std::size_t(i * m_width + j)];
            }
        for (int i = 0; i < n - w; ++i)
            if (bigDenominators[std::size_t(i)] < 0) {
                mpz_neg(bigDenominators[std::size_t(i)].get_mpz_t(), bigDenominators[std::size_t(i)].get_mpz_t());
                for (int j = 0; j < m_width; ++j)
                    mpz_neg(bigValues[std::size_t(i * m_width + j)].get_mpz_t(),
                            bigValues[std::size_t(i * m_width + j)].get_mpz_t());
            }
        return ExactRows(m_width, std::move(wordValues), std::move(wordDenominators), std::move(bigValues),
                         std::move(bigDenominators));
    }

    // For the detailed report: column k as a step, the rows as they stand.
    void recordStep(int k) { m_steps->push_back({k, m_pivotRow, rows(k + 1)}); }

    SolveRecord &m_record;
    std::vector<EliminationStep> *m_steps;
    int m_n;
    int m_width;
    // Rows 0..m_bigFrom-1 in words, the rest in GMP integers.
    int m_bigFrom = 0;
    std::vector<std::int64_t> m_words, m_wordScales;
    std::vector<mpz_class> m_big, m_bigScales;
    std::int64_t m_previousWord = 1; // the pivot of the column before, in words
    mpz_class m_previous; // the same in GMP integers, set as they take over
    mpz_class m_left, m_right;
    int m_pivotRow = 0;
    int m_zeroColumn = -1;
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
    Elimination(record, steps).run();
}

} // namespace

SolveRecord eliminateExactly(ExactRows system, bool recordSteps)
{
    SolveRecord record;
    record.system = std::move(system);
    if (recordSteps)
        record.steps.emplace().reserve(std::size_t(std::max(record.system.rows() - 1, 0)));
    eliminate(record, recordSteps ? &*record.steps : nullptr);
    return record;
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
