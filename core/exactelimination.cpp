// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exactelimination.h"

#include <algorithm>
#include <utility>

namespace ravno {
namespace {

using IntegerMatrix = std::vector<std::vector<mpz_class>>;

// The system times the least common multiple of its denominators: for
// decimals a power of ten, or less.
IntegerMatrix scaledToIntegers(const ExactMatrix &system, mpz_class &scale)
{
    scale = 1;
    for (const auto &row : system)
        for (const mpq_class &value : row)
            if (value.get_den() != 1)
                mpz_lcm(scale.get_mpz_t(), scale.get_mpz_t(), value.get_den_mpz_t());
    IntegerMatrix integers(system.size());
    for (std::size_t i = 0; i < system.size(); ++i) {
        integers[i].reserve(system[i].size());
        for (const mpq_class &value : system[i]) {
            if (value.get_den() == scale)
                integers[i].emplace_back(value.get_num());
            else
                integers[i].emplace_back(value.get_num() * (scale / value.get_den()));
        }
    }
    return integers;
}

// num / den in lowest terms into `out`, without a temporary fraction.
void setRatio(mpq_class &out, const mpz_class &num, const mpz_class &den, mpz_class &gcd)
{
    mpz_gcd(gcd.get_mpz_t(), num.get_mpz_t(), den.get_mpz_t());
    if (gcd == 1) {
        mpz_set(out.get_num_mpz_t(), num.get_mpz_t());
        mpz_set(out.get_den_mpz_t(), den.get_mpz_t());
    } else {
        mpz_divexact(out.get_num_mpz_t(), num.get_mpz_t(), gcd.get_mpz_t());
        mpz_divexact(out.get_den_mpz_t(), den.get_mpz_t(), gcd.get_mpz_t());
    }
    if (sgn(den) < 0) {
        mpz_neg(out.get_num_mpz_t(), out.get_num_mpz_t());
        mpz_neg(out.get_den_mpz_t(), out.get_den_mpz_t());
    }
}

mpq_class ratio(const mpz_class &num, const mpz_class &den)
{
    mpq_class value;
    mpz_class gcd;
    setRatio(value, num, den, gcd);
    return value;
}

// A system with zeros below the diagonal, as a solve leaves it, needs no
// elimination: each column's pivot is its diagonal entry and every
// multiplier 0, up to a column that is zero on and below the diagonal. Over one common denominator its rows, each with a large
// denominator of its own, would grow to their product; in reduced fractions
// only the back substitution remains. False, with nothing recorded, for a
// system that needs the elimination. The steps go into `steps` when given.
bool solveEliminated(SolveRecord &record, std::vector<EliminationStep> *steps)
{
    const ExactMatrix &a = record.before;
    const int n = int(a.size());
    for (int k = 0; k < n && record.zeroColumn < 0; ++k) {
        for (int i = k + 1; i < n; ++i)
            if (sgn(a[i][k]) != 0)
                return false;
        if (sgn(a[k][k]) == 0)
            record.zeroColumn = k;
    }
    record.eliminated = a;
    for (int k = 0; steps && k <= n - 2 && (record.zeroColumn < 0 || k < record.zeroColumn); ++k) {
        EliminationStep step;
        step.column = k;
        step.pivotRow = k;
        step.pivot = a[k][k];
        for (int i = k + 1; i < n; ++i)
            step.eliminations.emplace_back(i, mpq_class(0));
        step.after = a;
        steps->push_back(std::move(step));
    }
    if (record.zeroColumn >= 0)
        return true;
    record.answers.assign(std::size_t(n), mpq_class(0));
    for (int i = n - 1; i >= 0; --i) {
        mpq_class sum = a[i][n];
        for (int c = i + 1; c < n; ++c)
            sum -= a[i][c] * record.answers[std::size_t(c)];
        record.answers[std::size_t(i)] = sum / a[i][i];
    }
    record.unique = true;
    return true;
}

// The matrix in rational values once `done` columns are eliminated: a row
// the elimination has passed (i <= done) is over the scale times the pivot
// of the column before it, the rows below over the last pivot.
ExactMatrix rationalMatrix(const IntegerMatrix &a, const mpz_class &scale, int done)
{
    const int n = int(a.size());
    ExactMatrix matrix(std::size_t(n), std::vector<mpq_class>(std::size_t(n + 1)));
    mpz_class divisor, gcd;
    for (int i = 0; i < n; ++i) {
        const int last = std::min(i, done) - 1;
        if (last < 0)
            divisor = scale;
        else
            divisor = scale * a[std::size_t(last)][std::size_t(last)];
        for (int j = 0; j <= n; ++j)
            if (sgn(a[std::size_t(i)][std::size_t(j)]) != 0)
                setRatio(matrix[std::size_t(i)][std::size_t(j)], a[std::size_t(i)][std::size_t(j)], divisor, gcd);
    }
    return matrix;
}

// The elimination of record.before, filling the rest of the record; each
// column's step, with the matrix after it, goes into `steps` when given.
void eliminate(SolveRecord &record, std::vector<EliminationStep> *steps)
{
    const ExactMatrix &before = record.before;
    const int n = int(before.size());
    if (n < 1 || solveEliminated(record, steps))
        return;

    // a(i, j) / (scale * divisor) is the value the elimination would hold
    // in rational arithmetic, the divisor being the pivot of the step before
    // for the rows still to be eliminated (Bareiss).
    mpz_class scale;
    IntegerMatrix a = scaledToIntegers(before, scale);
    mpz_class previousPivot = 1;
    const ExactMatrix *last = &record.before;

    for (int k = 0; k <= n - 2; ++k) {
        int pivotRow = -1;
        for (int i = k; i < n; ++i)
            if (sgn(a[i][k]) != 0
                && (pivotRow < 0 || mpz_cmpabs(a[i][k].get_mpz_t(), a[pivotRow][k].get_mpz_t()) > 0))
                pivotRow = i;
        if (pivotRow < 0) {
            record.zeroColumn = k;
            record.eliminated = rationalMatrix(a, scale, k);
            return;
        }
        std::swap(a[k], a[pivotRow]);

        EliminationStep step;
        if (steps) {
            step.column = k;
            step.pivotRow = pivotRow;
            // Rows up to k as the step before left them (the pivot row
            // exchanged in); the rows below are written as they are eliminated.
            step.after.reserve(std::size_t(n));
            for (int i = 0; i <= k; ++i)
                step.after.push_back((*last)[std::size_t(i == k ? pivotRow : i == pivotRow ? k : i)]);
            step.pivot = step.after[k][k];
        }

        const mpz_class &pivot = a[k][k];
        const mpz_class rowDivisor = pivot * scale;
        mpz_class product, gcd;
        for (int i = k + 1; i < n; ++i) {
            std::vector<mpq_class> *row = nullptr;
            if (steps) {
                step.eliminations.emplace_back(i, ratio(a[i][k], pivot));
                row = &step.after.emplace_back(std::size_t(n + 1));
            }
            for (int j = k + 1; j <= n; ++j) {
                product = pivot * a[i][j];
                mpz_submul(product.get_mpz_t(), a[i][k].get_mpz_t(), a[k][j].get_mpz_t());
                mpz_divexact(a[i][j].get_mpz_t(), product.get_mpz_t(), previousPivot.get_mpz_t());
                if (row && sgn(a[i][j]) != 0)
                    setRatio((*row)[std::size_t(j)], a[i][j], rowDivisor, gcd);
            }
            a[i][k] = 0;
        }
        previousPivot = pivot;
        if (steps) {
            steps->push_back(std::move(step));
            last = &steps->back().after;
        }
    }

    record.eliminated = rationalMatrix(a, scale, n - 1);
    if (a[n - 1][n - 1] == 0) {
        record.zeroColumn = n - 1;
        return;
    }

    // Back substitution on the integers: with d the last pivot, d * x(i) is
    // a whole number (Cramer's rule on the scaled system), so each division
    // is exact; the fractions are reduced once, at the end.
    const mpz_class &d = a[n - 1][n - 1];
    std::vector<mpz_class> numerators(static_cast<std::size_t>(n));
    numerators[std::size_t(n - 1)] = a[n - 1][n];
    for (int i = n - 2; i >= 0; --i) {
        mpz_class sum = d * a[i][n];
        for (int c = i + 1; c <= n - 1; ++c)
            mpz_submul(sum.get_mpz_t(), a[i][c].get_mpz_t(), numerators[std::size_t(c)].get_mpz_t());
        mpz_divexact(numerators[std::size_t(i)].get_mpz_t(), sum.get_mpz_t(), a[i][i].get_mpz_t());
    }
    record.answers.reserve(std::size_t(n));
    for (const mpz_class &numerator : numerators)
        record.answers.push_back(ratio(numerator, d));
    record.unique = true;
}

} // namespace

SolveRecord eliminateExactly(ExactMatrix system)
{
    SolveRecord record;
    record.before = std::move(system);
    eliminate(record, nullptr);
    return record;
}

std::vector<EliminationStep> eliminationSteps(const SolveRecord &record)
{
    SolveRecord again;
    again.before = record.before;
    std::vector<EliminationStep> steps;
    // The steps are moved in, never copied: mpq_class moves may throw, so a
    // growing vector would copy every matrix it holds.
    steps.reserve(std::size_t(std::max(int(again.before.size()) - 1, 0)));
    eliminate(again, &steps);
    return steps;
}

} // namespace ravno
