// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report.h"

#include "core/exactelimination.h"

#include <cstdlib>

namespace ravno {
namespace {

int sizeOf(const auto &container)
{
    return int(container.size());
}

// Carries the elimination on from row and column `from` of m, as the solver
// would have, a column without a pivot below the rows done becoming a
// parameter. Returns the rows holding a pivot.
int continueElimination(Report &report, ExactMatrix m, int from)
{
    const int n = report.order;
    int row = from;
    for (int column = from; column < n; ++column) {
        int pivotRow = -1;
        for (int i = row; i < n; ++i) {
            if (m[std::size_t(i)][std::size_t(column)] != 0
                && (pivotRow < 0
                    || abs(m[std::size_t(i)][std::size_t(column)])
                           > abs(m[std::size_t(pivotRow)][std::size_t(column)])))
                pivotRow = i;
        }
        if (pivotRow < 0) {
            report.parameterColumns.push_back(column);
            continue;
        }
        std::swap(m[std::size_t(row)], m[std::size_t(pivotRow)]);
        ReportStep done;
        done.row = row;
        done.step.column = column;
        done.step.pivotRow = pivotRow;
        const auto &pivotLine = m[std::size_t(row)];
        done.step.pivot = pivotLine[std::size_t(column)];
        for (int i = row + 1; i < n; ++i) {
            auto &line = m[std::size_t(i)];
            const mpq_class factor = line[std::size_t(column)] / done.step.pivot;
            done.step.eliminations.emplace_back(i, factor);
            if (factor == 0)
                continue;
            for (int j = column; j <= n; ++j)
                line[std::size_t(j)] -= factor * pivotLine[std::size_t(j)];
        }
        done.step.after = m;
        report.continued.push_back(std::move(done));
        ++row;
    }
    return row;
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
    const int n = sizeOf(x);
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

const ExactMatrix &Report::lastMatrix() const
{
    if (!continued.empty())
        return continued.back().step.after;
    if (!steps.empty())
        return steps.back().step.after;
    return system;
}

std::vector<mpq_class> residuals(const ExactMatrix &system, const std::vector<mpq_class> &x)
{
    const int n = sizeOf(x);
    std::vector<mpq_class> out;
    for (const auto &line : system) {
        mpq_class sum = -line[std::size_t(n)];
        for (int c = 0; c < n; ++c)
            sum += line[std::size_t(c)] * x[std::size_t(c)];
        out.push_back(sum);
    }
    return out;
}

Report buildReport(const SolveRecord &record)
{
    Report report;
    const int n = record.system.rows();
    if (n == 0 || record.system.columns() != n + 1)
        return report;
    report.order = n;
    report.system = record.before();
    report.again = record.again;
    for (EliminationStep &step : eliminationSteps(record)) {
        const int column = step.column;
        report.steps.push_back({std::move(step), column});
    }
    report.unique = record.unique;

    if (record.unique) {
        report.answers = record.answers();
        report.rankCoefficients = report.rankAugmented = n;
        const auto left = residuals(report.system, report.answers);
        for (int i = 0; i < n; ++i)
            if (left[std::size_t(i)] != 0)
                report.failing.push_back(i);
        return report;
    }

    report.zeroColumn = record.zeroColumn;
    // Each column the solver finished holds its pivot in its own row.
    const int done = sizeOf(report.steps);
    const int pivots = continueElimination(report, report.lastMatrix(), done);
    const ExactMatrix &echelon = report.lastMatrix();
    report.rankCoefficients = pivots;
    report.rankAugmented = pivots;
    for (int i = pivots; i < n; ++i)
        if (echelon[std::size_t(i)][std::size_t(n)] != 0)
            report.rankAugmented = pivots + 1;
    report.firstInconsistent = firstInconsistent(report.system, n);
    if (report.rankAugmented == report.rankCoefficients) {
        report.general = generalSolution(echelon, n, pivots, report.parameterColumns);
        report.failing = failingForAnyParameters(report.system, report.general);
    }
    return report;
}

} // namespace ravno
