// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/report.h"

#include "core/exact/exactelimination.h"
#include "core/exact/wordarithmetic.h"

#include <cstdlib>
#include <iterator>

namespace ravno {
namespace {

// Brings row `pivotRow` of m to `row` and clears `column` below it: one
// column of the elimination, in lowest terms.
void clearBelow(ExactMatrix &m, int row, int pivotRow, int column)
{
    const int n = int(std::ssize(m));
    std::swap(m[std::size_t(row)], m[std::size_t(pivotRow)]);
    const auto &pivotLine = m[std::size_t(row)];
    for (int i = row + 1; i < n; ++i) {
        auto &line = m[std::size_t(i)];
        if (line[std::size_t(column)] == 0)
            continue;
        const mpq_class factor = line[std::size_t(column)] / pivotLine[std::size_t(column)];
        for (int j = column; j < int(std::ssize(line)); ++j)
            line[std::size_t(j)] -= factor * pivotLine[std::size_t(j)];
    }
}

// Carries the elimination on from row and column `from` of m, as the solver
// would have, a column without a pivot below the rows done becoming a
// parameter; m is left in echelon form. Returns the rows holding a pivot.
int continueElimination(Report &report, ExactMatrix &m, int from)
{
    const int n = report.order;
    int row = from;
    for (int column = from; column < n; ++column) {
        const int pivotRow = ravno::pivotRow(m, column, row, report.pivot);
        if (pivotRow < 0) {
            report.parameterColumns.push_back(column);
            continue;
        }
        clearBelow(m, row, pivotRow, column);
        report.continued.push_back({{column, pivotRow, ExactRows(m)}, row});
        ++row;
    }
    return row;
}

// The solver's elimination with the first non-zero pivot, up to the first
// column without one: a pivot for each column but the last, as the solver
// records them.
std::vector<EliminationStep> firstNonZeroSteps(const ExactRows &system)
{
    ExactMatrix m = system.matrix();
    const int n = system.rows();
    std::vector<EliminationStep> steps;
    for (int column = 0; column + 1 < n; ++column) {
        const int pivotRow = ravno::pivotRow(m, column, column, Pivot::FirstNonZero);
        if (pivotRow < 0)
            break;
        clearBelow(m, column, pivotRow, column);
        steps.push_back({column, pivotRow, ExactRows(m)});
    }
    return steps;
}

// The first k for which equations 1..k have no common solution, 0 when all
// n have one: each equation in turn is reduced by those before it that were
// independent; one that leaves 0 = c with c non-zero ends the search.
int firstInconsistent(const ExactMatrix &system, int n)
{
    std::vector<std::pair<int, std::vector<mpq_class>>> basis; // pivot column, row
    for (int k = 0; k < n; ++k) {
        std::vector<mpq_class> v = system[std::size_t(k)];
        for (const auto &[column, line] : basis) {
            if (v[std::size_t(column)] == 0)
                continue;
            const mpq_class factor = v[std::size_t(column)] / line[std::size_t(column)];
            for (int j = 0; j <= n; ++j)
                v[std::size_t(j)] -= factor * line[std::size_t(j)];
        }
        int pivot = 0;
        while (pivot < n && v[std::size_t(pivot)] == 0)
            ++pivot;
        if (pivot == n) {
            if (v[std::size_t(n)] != 0)
                return k + 1;
            continue;
        }
        basis.emplace_back(pivot, std::move(v));
    }
    return 0;
}

// The general solution from the echelon form: the pivot unknowns by back
// substitution, bottom up, in terms of the parameters.
std::vector<Affine> generalSolution(const ExactMatrix &m, int n, int pivots,
                                    const std::vector<int> &parameters)
{
    const std::size_t count = parameters.size();
    std::vector<Affine> x(std::size_t(n), Affine{0, std::vector<mpq_class>(count)});
    for (std::size_t j = 0; j < count; ++j)
        x[std::size_t(parameters[j])].perParameter[j] = 1;
    for (int row = pivots - 1; row >= 0; --row) {
        const auto &line = m[std::size_t(row)];
        int column = 0;
        while (line[std::size_t(column)] == 0)
            ++column;
        Affine value{line[std::size_t(n)], std::vector<mpq_class>(count)};
        for (int c = column + 1; c < n; ++c) {
            const mpq_class &a = line[std::size_t(c)];
            if (a == 0)
                continue;
            value.constant -= a * x[std::size_t(c)].constant;
            for (std::size_t j = 0; j < count; ++j)
                value.perParameter[j] -= a * x[std::size_t(c)].perParameter[j];
        }
        const mpq_class &pivot = line[std::size_t(column)];
        value.constant /= pivot;
        for (auto &p : value.perParameter)
            p /= pivot;
        x[std::size_t(column)] = std::move(value);
    }
    return x;
}

// Equations not satisfied by the general solution for every choice of the
// parameters: the constant part must solve the system, and each
// parameter's part the system with a zero right-hand side.
std::vector<int> failingForAnyParameters(const ExactMatrix &system, const std::vector<Affine> &x)
{
    const int n = int(std::ssize(x));
    std::vector<int> failing;
    for (int i = 0; i < n; ++i) {
        const auto &line = system[std::size_t(i)];
        bool holds = true;
        mpq_class sum = -line[std::size_t(n)];
        for (int c = 0; c < n; ++c)
            sum += line[std::size_t(c)] * x[std::size_t(c)].constant;
        holds = sum == 0;
        for (std::size_t j = 0; holds && j < x.front().perParameter.size(); ++j) {
            mpq_class part = 0;
            for (int c = 0; c < n; ++c)
                part += line[std::size_t(c)] * x[std::size_t(c)].perParameter[j];
            holds = part == 0;
        }
        if (!holds)
            failing.push_back(i);
    }
    return failing;
}

} // namespace

int pivotRow(const ExactMatrix &m, int column, int from, Pivot pivot)
{
    int found = -1;
    for (int i = from; i < int(m.size()); ++i) {
        const mpq_class &value = m[std::size_t(i)][std::size_t(column)];
        if (value == 0)
            continue;
        if (pivot == Pivot::FirstNonZero)
            return i;
        if (found < 0 || abs(value) > abs(m[std::size_t(found)][std::size_t(column)]))
            found = i;
    }
    return found;
}

mpq_class stepPivot(const ExactMatrix &before, const ReportStep &done)
{
    return before[std::size_t(done.step.pivotRow)][std::size_t(done.step.column)];
}

mpq_class stepMultiplier(const ExactMatrix &before, const ReportStep &done, int i)
{
    // Row i holds, after the exchange, the row the pivot row left.
    const int from = i == done.step.pivotRow ? done.row : i;
    const mpq_class &value = before[std::size_t(from)][std::size_t(done.step.column)];
    if (value == 0)
        return 0;
    return value / before[std::size_t(done.step.pivotRow)][std::size_t(done.step.column)];
}

const ExactRows &Report::lastMatrix() const
{
    if (!continued.empty())
        return continued.back().step.after;
    if (!steps.empty())
        return steps.back().step.after;
    return system;
}

namespace {

// Equation i holds when b(i)·d - sum a(i,j)·x(j)·(d / d(j)) is 0, with
// the row's values a(i,j) over their denominator and d the answers' common
// denominator. In 128-bit words when every answer has the same
// denominator and the difference fits a word; false when that cannot be
// told.
bool failingInWords(const ExactRows &system, const ExactRows &x, std::vector<int> &failing)
{
    if (!system.inWords() || !x.inWords())
        return false;
    const int n = x.rows();
    const std::vector<std::int64_t> &values = system.smallValues();
    const std::vector<std::int64_t> &answers = x.smallValues();
    const std::vector<std::int64_t> &denominators = x.smallDenominators();
    for (int j = 1; j < n; ++j)
        if (denominators[std::size_t(j)] != denominators[0])
            return false;
    for (int i = 0; i < n; ++i) {
        const std::int64_t *row = values.data() + std::size_t(i) * std::size_t(n + 1);
        bool overflow = false;
        const std::int64_t difference = substitute(denominators[0], row[n], row, answers, 0, n, 1, overflow);
        if (overflow)
            return false;
        if (difference != 0)
            failing.push_back(i);
    }
    return true;
}

} // namespace

std::vector<int> failingEquations(const ExactRows &system, const ExactRows &x)
{
    std::vector<int> failing;
    if (failingInWords(system, x, failing))
        return failing;
    failing.clear();
    const int n = x.rows();
    const std::vector<mpz_class> values = system.bigValues();
    std::vector<mpz_class> answers = x.bigValues();
    const std::vector<mpz_class> denominators = x.bigDenominators();
    mpz_class common = 1;
    for (const mpz_class &d : denominators)
        mpz_lcm(common.get_mpz_t(), common.get_mpz_t(), d.get_mpz_t());
    for (int j = 0; j < n; ++j)
        if (denominators[std::size_t(j)] != common)
            answers[std::size_t(j)] *= common / denominators[std::size_t(j)];
    mpz_class sum;
    for (int i = 0; i < n; ++i) {
        const mpz_class *row = values.data() + std::size_t(i) * std::size_t(n + 1);
        sum = 0;
        mpz_submul(sum.get_mpz_t(), row[n].get_mpz_t(), common.get_mpz_t());
        for (int j = 0; j < n; ++j)
            mpz_addmul(sum.get_mpz_t(), row[j].get_mpz_t(), answers[std::size_t(j)].get_mpz_t());
        if (sgn(sum) != 0)
            failing.push_back(i);
    }
    return failing;
}

Report withPivot(const Report &report, Pivot pivot)
{
    if (report.pivot == pivot || report.order == 0)
        return report;
    SolveRecord record;
    record.system = report.system;
    record.again = report.again;
    record.fractionCells = report.fractionCells;
    record.unique = report.unique;
    record.zeroColumn = report.zeroColumn;
    record.solution = report.answers;
    return buildReport(record, pivot);
}

Report buildReport(const SolveRecord &record, Pivot pivot)
{
    Report report;
    const int n = record.system.rows();
    if (n == 0 || record.system.columns() != n + 1)
        return report;
    report.order = n;
    report.system = record.system;
    report.again = record.again;
    report.fractionCells = record.fractionCells;
    report.pivot = pivot;
    std::vector<EliminationStep> steps = pivot == Pivot::FirstNonZero ? firstNonZeroSteps(record.system)
                                         : record.steps                 ? *record.steps
                                                                        : eliminationSteps(record);
    report.steps.reserve(steps.size());
    for (EliminationStep &step : steps) {
        const int column = step.column;
        report.steps.push_back({std::move(step), column});
    }
    report.unique = record.unique;

    if (record.unique) {
        report.answers = record.solution;
        report.rankCoefficients = report.rankAugmented = n;
        report.failing = failingEquations(report.system, report.answers);
        return report;
    }

    report.zeroColumn = record.zeroColumn;
    // Each column the solver finished holds its pivot in its own row.
    const int done = int(std::ssize(report.steps));
    ExactMatrix echelon = report.lastMatrix().matrix();
    const int pivots = continueElimination(report, echelon, done);
    report.rankCoefficients = pivots;
    report.rankAugmented = pivots;
    for (int i = pivots; i < n; ++i)
        if (echelon[std::size_t(i)][std::size_t(n)] != 0)
            report.rankAugmented = pivots + 1;
    const ExactMatrix system = report.system.matrix();
    report.firstInconsistent = firstInconsistent(system, n);
    if (report.rankAugmented == report.rankCoefficients) {
        report.general = generalSolution(echelon, n, pivots, report.parameterColumns);
        report.failing = failingForAnyParameters(system, report.general);
    }
    return report;
}

} // namespace ravno
