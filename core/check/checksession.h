// SPDX-License-Identifier: GPL-3.0-or-later
// A student's own solution in the check window ("Проверка решения"): the
// system the last solve started from, and the row operations the student
// has applied to it so far, each with the exact matrix it gave. Steps can
// be undone and done again; a new step drops the undone ones. Besides
// operations the student may type a row as computed ("2: 0 5/2 | 15/2"),
// which is a step when one operation gives it, and the answer; a wrong row
// and every answer leave a note after the step they followed. The window
// holds one session and shows it; core/check/checktext.h writes it out.
#pragma once

#include "core/check/answercheck.h"
#include "core/check/rowcheck.h"
#include "core/check/rowapply.h"

#include <QString>

#include <vector>

namespace ravno {

struct CheckStep
{
    RowOperation operation;
    ExactMatrix after;
};

// A checked row that no operation gives, or a checked answer.
struct CheckNote
{
    std::size_t after = 0; // the steps done when it was made
    QString line;          // as the student typed it
    bool answer = false;
    int row = 0;           // a row's, from 0
    RowVerdict rowVerdict;
    AnswerVerdict answerVerdict;
};

// What one line of the student's became.
struct [[nodiscard]] CheckEntry
{
    enum class Kind { Operation, Row, Answer };
    Kind kind = Kind::Operation;
    ParsedOperation operation; // Operation: refused unless ok()
    TypedRow typed;            // Row: read unless failure is set
    RowVerdict row;
    StudentAnswer answer;      // Answer: read unless failure is set
    AnswerVerdict verdict;
    bool stepped = false;      // a step was added
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
    // An operation, a typed row or an answer.
    CheckEntry enter(QStringView line);
    // The notes made after the steps still done.
    std::vector<CheckNote> notes() const;

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    void undo();
    void redo();
    // Back to the system, every step dropped.
    void restart();

private:
    ExactMatrix m_system;
    std::vector<CheckStep> m_steps;
    std::vector<CheckNote> m_notes;
    std::size_t m_done = 0;
};

} // namespace ravno
