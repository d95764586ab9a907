// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exact/solverecord.h"

namespace ravno {

std::vector<mpq_class> SolveRecord::answers() const
{
    std::vector<mpq_class> out;
    out.reserve(std::size_t(solution.rows()));
    for (int i = 0; i < solution.rows(); ++i)
        out.push_back(solution.value(i, 0));
    return out;
}

} // namespace ravno
