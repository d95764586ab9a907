// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/itemreader.h"

#include "storage/textfile.h"

namespace ravno {
namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmedBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text.at(first)))
        ++first;
    while (last > first && isBlank(text.at(last - 1)))
        --last;
    return text.sliced(first, last - first);
}

} // namespace

// A line always holds at least one item, and a comma always opens another
// one, even at the line end.
void forEachItem(QStringView line, const std::function<void(QStringView)> &onItem)
{
    qsizetype pos = 0;
    for (;;) {
        while (pos < line.size() && isBlank(line.at(pos)))
            ++pos;
        qsizetype comma;
        if (pos < line.size() && line.at(pos) == u'"') {
            const qsizetype close = line.indexOf(u'"', pos + 1);
            if (close < 0) {
                onItem(line.sliced(pos + 1));
                return;
            }
            onItem(line.sliced(pos + 1, close - pos - 1));
            // Whatever stands between the closing quote and the comma is dropped.
            comma = line.indexOf(u',', close + 1);
        } else {
            comma = line.indexOf(u',', pos);
            const qsizetype end = comma < 0 ? line.size() : comma;
            onItem(trimmedBlanks(line.sliced(pos, end - pos)));
        }
        if (comma < 0)
            return;
        pos = comma + 1;
    }
}

QStringList readItems(const QString &text)
{
    QStringList items;
    for (const QString &line : splitLines(text))
        forEachItem(line, [&](QStringView item) { items.append(item.toString()); });
    return items;
}

} // namespace ravno
