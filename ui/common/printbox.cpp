// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/printbox.h"

#include <QAccessible>
#include <QRegularExpression>

namespace ravno {

QStringList wrapAtBlanks(const QString &line, const QFontMetrics &metrics, int width)
{
    static const QRegularExpression word(QStringLiteral("\\s*\\S+\\s*|\\s+"));
    QStringList pieces;
    QString piece;
    auto words = word.globalMatch(line);
    while (words.hasNext()) {
        const QString next = words.next().captured();
        if (!piece.isEmpty() && metrics.horizontalAdvance(piece + next) > width) {
            pieces << piece;
            piece.clear();
        }
        piece += next;
    }
    if (!piece.isEmpty() || pieces.isEmpty())
        pieces << piece;
    return pieces;
}

PrintBox::PrintBox(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    // Named by class, so that the box's tool tip keeps its own look.
    setStyleSheet(QStringLiteral("ravno--PrintBox { background-color: black; color: rgb(0,255,0);"
                                 "  border: 1px solid rgb(128,128,128); }"));
}

void PrintBox::print(const QString &line)
{
    m_lines << line;
    showLines();
    emit changed();
}

void PrintBox::clearPrint()
{
    m_lines.clear();
    showLines();
    emit changed();
}

void PrintBox::setWrapWidth(int width)
{
    if (width == m_wrapWidth)
        return;
    m_wrapWidth = width;
    showLines();
}

int PrintBox::newestLineTop() const
{
    return m_lines.isEmpty() ? 0 : m_newestRow * fontMetrics().lineSpacing();
}

void PrintBox::showLines()
{
    QStringList shown;
    for (const QString &line : m_lines) {
        m_newestRow = int(shown.size());
        shown << (m_wrapWidth > 0 ? wrapAtBlanks(line, fontMetrics(), m_wrapWidth) : QStringList{line});
    }
    setText(shown.join(u'\n'));
    // The name says the answers (see nameResult()): a screen reader is told
    // that it changed, and reads the new answers.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

} // namespace ravno
