// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace shared by every window: the coefficient matrix of the system,
// an auxiliary vector and the answers. The editor fills it, the solver reads
// and transforms it, "Выгрузить массив" shrinks it. One instance lives for
// the whole run and is handed to each window that needs it.
#pragma once

#include "core/exact/solverecord.h"

#include <QString>

#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace ravno {

// An answer slot: empty, a number, or a text such as "Одного решения нет".
using Answer = std::variant<std::monostate, double, QString>;

class Workspace
{
public:
    // False until the editor first sizes the workspace.
    bool isAllocated() const { return m_allocated; }

    // The order n is the upper bound of the column index: a matrix of order n
    // has rows 0..n-1 and columns 0..n (column n is the right-hand side).
    // An unloaded workspace (a single element) has order 0; an unallocated
    // one has order -1.
    int order() const { return m_columns - 1; }
    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }

    // Column-major storage: the row index varies fastest.
    double at(int row, int column) const { return m_matrix[index(row, column)]; }
    // A write starts again from the doubles, each standing for its shortest
    // decimal: the exact copy is dropped.
    void set(int row, int column, double value)
    {
        m_exact.reset();
        m_fractionCells.clear();
        m_matrix[index(row, column)] = value;
    }

    // The exact matrix beside the doubles, which then hold its nearest
    // values (infinity beyond their range): the one the editor typed when a
    // value is a fraction, or the one the last solve left. Empty once the
    // matrix is written, resized or unloaded.
    const std::optional<ExactRows> &exact() const { return m_exact; }
    // The exact matrix is the one a solve left, not one typed.
    bool exactIsSolved() const { return m_exact.has_value() && !m_typed; }
    // Keeps the exact matrix a solve left, of the workspace's shape, and its
    // nearest doubles.
    void setExact(ExactRows exact);
    // Keeps the exact matrix the editor typed and its nearest doubles, with
    // the cells typed as fractions (row-major, n + 1 to a row).
    void setTyped(ExactRows exact, std::vector<bool> fractionCells);
    // The cells typed as fractions, row-major; empty when none was. Once
    // solved, every cell of the matrix left counts as one, for each of its
    // values was worked out from them.
    const std::vector<bool> &fractionCells() const { return m_fractionCells; }
    // The exact matrix handed over to a solve, which sets the next one.
    std::optional<ExactRows> takeExact() { return std::exchange(m_exact, std::nullopt); }

    std::vector<Answer> &answers() { return m_answers; }
    const std::vector<Answer> &answers() const { return m_answers; }
    const std::vector<double> &auxiliary() const { return m_auxiliary; }

    // A fresh all-zero matrix of order n and n empty answers; earlier
    // contents are dropped. The auxiliary vector is left alone. n below 1 is
    // taken as 1.
    void resize(int n);

    // "Выгрузить массив": one zero element in the matrix and the auxiliary
    // vector, one empty-text answer.
    void unload();

private:
    std::size_t index(int row, int column) const
    {
        return static_cast<std::size_t>(column) * static_cast<std::size_t>(m_rows)
               + static_cast<std::size_t>(row);
    }

    bool m_allocated = false;
    int m_rows = 0;
    int m_columns = 0;
    std::vector<double> m_matrix;
    std::optional<ExactRows> m_exact;
    bool m_typed = false;
    std::vector<bool> m_fractionCells;
    std::vector<double> m_auxiliary;
    std::vector<Answer> m_answers;
};

} // namespace ravno
