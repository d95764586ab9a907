// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pastedsystem.h"

#include "core/order.h"

#include <QList>
#include <QStringList>

namespace ravno {
namespace {

bool isBlank(QChar c)
{
    return c == u' ';
}

// Spreadsheets group digits with a no-break space, in its wide or narrow
// form.
bool isNoBreakSpace(QChar c)
{
    return c == QChar(0x00A0) || c == QChar(0x202F);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

QString normaliseCell(QString cell)
{
    cell.removeIf(isNoBreakSpace);
    if (cell.isEmpty())
        return QStringLiteral("0");
    const qsizetype comma = cell.indexOf(u',');
    if (comma > 0 && comma + 1 < cell.size() && cell.count(u',') == 1 && !cell.contains(u'.')
        && isDigit(cell[comma - 1]) && isDigit(cell[comma + 1]))
        cell[comma] = u'.';
    return cell;
}

QStringList rowCells(const QString &line)
{
    QStringList cells;
    if (line.contains(u'\t')) {
        for (const QString &cell : line.split(u'\t'))
            cells << normaliseCell(trimBlanks(cell));
    } else {
        for (const QString &cell : line.split(u' ', Qt::SkipEmptyParts))
            cells << normaliseCell(cell);
    }
    return cells;
}

} // namespace

std::optional<PastedSystem> readPastedSystem(const QString &paste)
{
    if (!paste.contains(u'\n') && !paste.contains(u'\r') && !paste.contains(u'\t'))
        return std::nullopt;

    QString text = paste;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        line = trimBlanks(line);
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    PastedSystem system;
    QStringList cells;
    bool square = lines.size() >= kLowestOrder && lines.size() <= kHighestOrder;
    for (const QString &line : std::as_const(lines)) {
        const QStringList row = rowCells(line);
        square = square && row.size() == lines.size() + 1;
        cells << row;
    }
    system.text = cells.join(u' ');
    if (square)
        system.order = int(lines.size());
    return system;
}

} // namespace ravno
