// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/workspace.h"

#include <algorithm>
#include <utility>

namespace ravno {

void Workspace::resize(int n)
{
    n = std::max(n, 1);
    m_allocated = true;
    m_rows = n;
    m_columns = n + 1;
    m_matrix.assign(static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_columns), 0.0);
    m_exact.reset();
    m_fractionCells.clear();
    m_answers.assign(static_cast<std::size_t>(n), Answer{});
}

void Workspace::unload()
{
    m_allocated = true;
    m_rows = 1;
    m_columns = 1;
    m_matrix.assign(1, 0.0);
    m_exact.reset();
    m_fractionCells.clear();
    m_auxiliary.assign(1, 0.0);
    m_answers.assign(1, Answer{QString()});
}

void Workspace::setExact(ExactRows exact)
{
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_columns; ++j)
            m_matrix[index(i, j)] = exact.nearest(i, j);
    m_exact = std::move(exact);
    m_typed = false;
    if (!m_fractionCells.empty())
        m_fractionCells.assign(m_fractionCells.size(), true);
}

void Workspace::setTyped(ExactRows exact, std::vector<bool> fractionCells)
{
    setExact(std::move(exact));
    m_typed = true;
    m_fractionCells = std::move(fractionCells);
}

} // namespace ravno
