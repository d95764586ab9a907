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
    m_steps.push_back({operation, std::move(after)});
    m_done = m_steps.size();
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
    m_done = 0;
}

} // namespace ravno
