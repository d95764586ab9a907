// SPDX-License-Identifier: GPL-3.0-or-later
// How many singular systems the solver catches: random rank-deficient
// integer systems of each order, counted by the old rule (an exact zero
// pivot) and by the solver as it is (which also asks core/singularity.h).
#pragma once

namespace ravno::bench {

inline const char *const singularOption = "--singular";

// perOrder systems of each kind and order 2..10; prints one table.
bool benchSingular(int perOrder);

} // namespace ravno::bench
