// SPDX-License-Identifier: GPL-3.0-or-later
// FLINT's exact solvers as the yardstick of the exact solve, when the
// benchmark was built with FLINT (found at build time; the program never
// needs it). Each system is handed over in rationals, as FLINT takes it.
#pragma once

#include "core/exact/solverecord.h"

#include <memory>

namespace ravno::bench {

class ReferenceSolve
{
public:
    enum class Method { FractionFree, Default };

    // False when the benchmark was built without FLINT.
    static bool available();

    explicit ReferenceSolve(const ExactMatrix &system);
    ~ReferenceSolve();
    ReferenceSolve(const ReferenceSolve &) = delete;
    ReferenceSolve &operator=(const ReferenceSolve &) = delete;

    // Solves the system `times` times with fmpq_mat_solve_fraction_free or
    // fmpq_mat_solve; false when FLINT finds it singular.
    bool run(Method method, int times);

private:
    struct Matrices;
    std::unique_ptr<Matrices> m;
};

} // namespace ravno::bench
