// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/reference.h"

#ifdef RAVNO_BENCH_FLINT
#include <flint/fmpq_mat.h>
#endif

namespace ravno::bench {

#ifdef RAVNO_BENCH_FLINT

struct ReferenceSolve::Matrices
{
    fmpq_mat_t a, b, x;
};

bool ReferenceSolve::available()
{
    return true;
}

ReferenceSolve::ReferenceSolve(const ExactMatrix &system) : m(std::make_unique<Matrices>())
{
    const slong n = slong(system.size());
    fmpq_mat_init(m->a, n, n);
    fmpq_mat_init(m->b, n, 1);
    fmpq_mat_init(m->x, n, 1);
    for (slong i = 0; i < n; ++i)
        for (slong j = 0; j <= n; ++j)
            fmpq_set_mpq(j < n ? fmpq_mat_entry(m->a, i, j) : fmpq_mat_entry(m->b, i, 0),
                         system[std::size_t(i)][std::size_t(j)].get_mpq_t());
}

ReferenceSolve::~ReferenceSolve()
{
    fmpq_mat_clear(m->a);
    fmpq_mat_clear(m->b);
    fmpq_mat_clear(m->x);
}

bool ReferenceSolve::run(Method method, int times)
{
    bool solved = true;
    for (int t = 0; t < times; ++t)
        solved = method == Method::FractionFree ? fmpq_mat_solve_fraction_free(m->x, m->a, m->b)
                                                : fmpq_mat_solve(m->x, m->a, m->b);
    return solved;
}

#else

struct ReferenceSolve::Matrices
{
};

bool ReferenceSolve::available()
{
    return false;
}

ReferenceSolve::ReferenceSolve(const ExactMatrix &) {}
ReferenceSolve::~ReferenceSolve() = default;

bool ReferenceSolve::run(Method, int)
{
    return false;
}

#endif

} // namespace ravno::bench
