// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/methods/determinant.h"

namespace ravno {

Determinant determinant(ExactMatrix a, Pivot pivot)
{
    const int n = int(a.size());
    Determinant d;
    d.value = 1;
    for (int column = 0; column < n; ++column) {
        const int found = pivotRow(a, column, column, pivot);
        d.columns.push_back({found, found < 0 ? mpq_class(0) : a[std::size_t(found)][std::size_t(column)]});
        if (found < 0) {
            d.value = 0;
            return d;
        }
        if (found != column) {
            std::swap(a[std::size_t(column)], a[std::size_t(found)]);
            d.negative = !d.negative;
        }
        const auto &pivotLine = a[std::size_t(column)];
        d.value *= pivotLine[std::size_t(column)];
        for (int i = column + 1; i < n; ++i) {
            auto &line = a[std::size_t(i)];
            if (line[std::size_t(column)] == 0)
                continue;
            const mpq_class factor = line[std::size_t(column)] / pivotLine[std::size_t(column)];
            for (int j = column + 1; j < n; ++j)
                line[std::size_t(j)] -= factor * pivotLine[std::size_t(j)];
            line[std::size_t(column)] = 0;
        }
    }
    if (d.negative)
        d.value = -d.value;
    return d;
}

Determinant determinant(const ExactRows &system, Pivot pivot)
{
    ExactMatrix a = system.matrix();
    for (auto &line : a)
        line.pop_back();
    return determinant(std::move(a), pivot);
}

} // namespace ravno
