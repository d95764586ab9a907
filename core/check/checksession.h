// SPDX-License-Identifier: GPL-3.0-or-later
// A student's own solution in the check window ("Проверка решения"): the
// system the last solve started from, and the row operations the student
// has applied to it so far, each with the exact matrix it gave. Steps can
// be undone and done again; a new step drops the undone ones. The window
// holds one session and shows it; core/check/checktext.h writes it out.
#pragma once

#include "core/check/rowoperation.h"

#include <vector>

namespace ravno {

struct CheckStep
{
    RowOperation operation;
    ExactMatrix after;
};

class CheckSession
{
public:
    CheckSession() = default;
    explicit CheckSession(ExactMatrix system) : m_system(std::move(system)) {}

    const ExactMatrix &system() const { return m_system; }
    int order() const { return int(m_system.size()); }
    // The matrix after the last step done, the system before any.
    const ExactMatrix &current() const { return m_done == 0 ? m_system : m_steps[m_done - 1].after; }
    // The steps done, first to last: the first doneCount() of steps().
    const std::vector<CheckStep> &steps() const { return m_steps; }
    std::size_t doneCount() const { return m_done; }

    // Reads the line and, when it is an operation, applies it; the
    // matrix is unchanged by a refused one.
    ParsedOperation apply(QStringView line);
    void apply(const RowOperation &operation);

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    void undo();
    void redo();
    // Back to the system, every step dropped.
    void restart();

private:
    ExactMatrix m_system;
    std::vector<CheckStep> m_steps;
    std::size_t m_done = 0;
};

} // namespace ravno
