// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/pastedsystem.h"

#include "core/order.h"

#include <QStringList>

#include <optional>

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

bool isCellSeparator(QChar c)
{
    return c == u'\t' || c == u';';
}

qsizetype leadingDigits(QStringView text)
{
    qsizetype count = 0;
    while (count < text.size() && isDigit(text[count]))
        ++count;
    return count;
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

// A cell between tabs or semicolons without its blanks, when each blank is
// a thousands separator or follows a leading sign; nothing otherwise.
std::optional<QString> withoutInnerBlanks(const QString &cell)
{
    if (!cell.contains(u' '))
        return cell;
    QStringList parts = cell.split(u' ');
    if (parts[0] == u"-" || parts[0] == u"+")
        parts[1].prepend(parts.takeFirst());
    if (parts.size() == 1)
        return parts[0];
    QStringView first = parts[0];
    if (first.startsWith(u'-') || first.startsWith(u'+'))
        first = first.sliced(1);
    if (first.isEmpty() || first.size() > 3 || leadingDigits(first) != first.size())
        return std::nullopt;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QStringView part = parts[i];
        const qsizetype digits = leadingDigits(part);
        const bool last = i + 1 == parts.size();
        if (digits != 3 || (!last && part.size() != 3))
            return std::nullopt;
    }
    return parts.join(QString());
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

// Appends the cells of one line; false, with the refused cell in refused,
// when one holds a stray blank.
bool addRowCells(const QString &line, QStringList &cells, QString &refused)
{
    if (std::any_of(line.begin(), line.end(), isCellSeparator)) {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= line.size(); ++i) {
            if (i < line.size() && !isCellSeparator(line[i]))
                continue;
            const QString cell = trimBlanks(line.mid(start, i - start));
            const std::optional<QString> whole = withoutInnerBlanks(cell);
            if (!whole) {
                refused = cell;
                return false;
            }
            cells << normaliseCell(*whole);
            start = i + 1;
        }
        return true;
    }
    for (const QString &cell : line.split(u' ', Qt::SkipEmptyParts))
        cells << normaliseCell(cell);
    return true;
}

} // namespace

PastedSystem readPastedSystem(const QString &paste)
{
    PastedSystem system;
    if (!paste.contains(u'\n') && !paste.contains(u'\r')
        && !std::any_of(paste.begin(), paste.end(), isCellSeparator)) {
        // A value before each blank, and one more unless a blank ends it.
        if (paste.count(u' ') + (paste.endsWith(u' ') ? 0 : 1) > kMostValues)
            system.kind = PastedSystem::Kind::Refused;
        return system;
    }

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

    QStringList cells;
    bool square = lines.size() >= kLowestOrder && lines.size() <= kHighestOrder;
    for (const QString &line : std::as_const(lines)) {
        const qsizetype before = cells.size();
        QString refused;
        if (!addRowCells(line, cells, refused) || cells.size() > kMostValues) {
            system.kind = PastedSystem::Kind::Refused;
            system.text = refused;
            return system;
        }
        square = square && cells.size() - before == lines.size() + 1;
    }
    system.cells = cells.size();
    system.text = cells.join(u' ');
    if (cells.size() == 1) {
        system.kind = PastedSystem::Kind::Cell;
        return system;
    }
    system.kind = PastedSystem::Kind::System;
    if (square)
        system.order = int(lines.size());
    return system;
}

} // namespace ravno
