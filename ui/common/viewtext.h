// SPDX-License-Identifier: GPL-3.0-or-later
// The text of the two file views (the answer log under the main window, the
// catalogue in the save/load window), as the file commands read and extend
// it. The writers store every LF as CR LF.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

namespace ravno {

// A file's text as the windows show it: lines end in LF alone.
inline QString withLf(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The view's text as typed, lines ending in LF. The document's plain text
// would turn a no-break space, a character of the code page, into a blank.
inline QString viewText(const QPlainTextEdit &view)
{
    QString text = view.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

// Lines that a save kept after the edited text (added to the file while the
// view was open) are shown at its end, so that the next save writes them
// once, where they are.
inline void appendViewLines(QPlainTextEdit &view, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    QTextCursor end(view.document());
    end.movePosition(QTextCursor::End);
    end.insertText(u'\n' + lines.join(u'\n'));
}

} // namespace ravno
