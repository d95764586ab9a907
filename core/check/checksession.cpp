// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/check/checksession.h"

namespace ravno {

ParsedOperation CheckSession::apply(QStringView line)
{
    ParsedOperation parsed = parseOperation(line, order());
    if (parsed.ok())
        apply(parsed.operation);
    return parsed;
}

void CheckSession::apply(const RowOperation &operation)
{
    ExactMatrix after = applyOperation(current(), operation);
    m_steps.resize(m_done);
    std::erase_if(m_notes, [this](const CheckNote &note) { return note.after > m_done; });
    m_steps.push_back({operation, std::move(after)});
    m_done = m_steps.size();
}

CheckEntry CheckSession::enter(QStringView line)
{
    CheckEntry entry;
    entry.typed = parseTypedRow(line, order());
    if (entry.typed.failure != TypedRow::Failure::NoRow) {
        entry.kind = CheckEntry::Kind::Row;
        if (entry.typed.failure != TypedRow::Failure::None)
            return entry;
        entry.row = checkTypedRow(current(), entry.typed.row, entry.typed.values);
        if (entry.row.matches) {
            apply(entry.row.operation);
            entry.stepped = true;
        } else {
            m_notes.push_back({m_done, line.toString(), false, entry.typed.row, entry.row, {}});
        }
        return entry;
    }
    entry.answer = parseAnswer(line, order());
    if (entry.answer.failure != StudentAnswer::Failure::NoAnswer) {
        entry.kind = CheckEntry::Kind::Answer;
        if (entry.answer.failure != StudentAnswer::Failure::None)
            return entry;
        entry.verdict = checkAnswer(m_system, entry.answer);
        m_notes.push_back({m_done, line.toString(), true, 0, {}, entry.verdict});
        return entry;
    }
    entry.operation = apply(line);
    entry.stepped = entry.operation.ok();
    return entry;
}

std::vector<CheckNote> CheckSession::notes() const
{
    std::vector<CheckNote> shown;
    for (const CheckNote &note : m_notes)
        if (note.after <= m_done)
            shown.push_back(note);
    return shown;
}

void CheckSession::undo()
{
    if (canUndo())
        --m_done;
}

void CheckSession::redo()
{
    if (canRedo())
        ++m_done;
}

void CheckSession::restart()
{
    m_steps.clear();
    m_notes.clear();
    m_done = 0;
}

} // namespace ravno
