// SPDX-License-Identifier: GPL-3.0-or-later
// A row operation applied exactly to the augmented matrix, and the matrix's
// form judged after it, for the check session and its text.
#pragma once

#include "core/check/rowoperation.h"

namespace ravno {

// The matrix after the operation; its rows must be rows of the matrix.
ExactMatrix applyOperation(const ExactMatrix &matrix, const RowOperation &operation);

// Where the matrix stands: in row echelon form (zero rows last, each
// leading entry right of the one above), and reduced as well (each leading
// entry 1 and alone in its column). The right-hand side counts as a column.
enum class MatrixShape { Other, Echelon, Reduced };
MatrixShape matrixShape(const ExactMatrix &matrix);

} // namespace ravno
