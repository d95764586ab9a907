// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/check/rowapply.h"

#include <utility>

namespace ravno {

ExactMatrix applyOperation(const ExactMatrix &matrix, const RowOperation &op)
{
    ExactMatrix out = matrix;
    auto &row = out[std::size_t(op.row)];
    switch (op.kind) {
    case RowOperation::Kind::Exchange:
        std::swap(row, out[std::size_t(op.other)]);
        break;
    case RowOperation::Kind::Scale:
        for (mpq_class &v : row)
            v *= op.factor;
        break;
    case RowOperation::Kind::Combine: {
        const auto &other = matrix[std::size_t(op.other)];
        for (std::size_t j = 0; j < row.size(); ++j)
            row[j] = op.factor * row[j] + op.multiple * other[j];
        break;
    }
    }
    return out;
}

MatrixShape matrixShape(const ExactMatrix &matrix)
{
    int lastLead = -1;
    bool zeroRowSeen = false;
    bool reduced = true;
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        const auto &row = matrix[i];
        int lead = -1;
        for (std::size_t j = 0; j < row.size() && lead < 0; ++j)
            if (row[j] != 0)
                lead = int(j);
        if (lead < 0) {
            zeroRowSeen = true;
            continue;
        }
        if (zeroRowSeen || lead <= lastLead)
            return MatrixShape::Other;
        lastLead = lead;
        if (row[std::size_t(lead)] != 1)
            reduced = false;
        for (std::size_t k = 0; k < matrix.size() && reduced; ++k)
            if (k != i && matrix[k][std::size_t(lead)] != 0)
                reduced = false;
    }
    return reduced ? MatrixShape::Reduced : MatrixShape::Echelon;
}

} // namespace ravno
