// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a system is singular as far as double arithmetic can tell. The
// solver asks before it eliminates: rounding can leave a last pivot of
// about 1e-16 instead of 0 in a singular system, and elimination alone then
// answers with huge numbers.
#pragma once

#include "core/workspace.h"

namespace ravno {

// Below this ratio of the smallest to the largest singular value of the
// row-scaled coefficients the system counts as singular. Exactly singular
// integer systems come out near 1e-16; any system whose condition number is
// below 1e12 stays above 3e-13, however its rows are scaled.
inline constexpr double kSingularRatio = 1e-14;

// The ratio of the smallest to the largest singular value of the
// coefficient matrix (right-hand side left out) after each row has been
// scaled to unit length: 0 for a zero row, 1 for orthogonal rows. Scaling
// the rows first makes an equation multiplied by 1e10 count as the same
// equation. Without coefficients (an unloaded workspace) or with a value
// that is not finite the ratio is not defined and this returns -1.
double scaledSingularValueRatio(const Workspace &workspace);

// True when the ratio above is defined and below kSingularRatio.
bool isNumericallySingular(const Workspace &workspace);

} // namespace ravno
