// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/arrayfile.h"

#include "core/arraytext.h"
#include "core/numbertext.h"
#include "storage/itemreader.h"
#include "storage/textfile.h"

#include <QByteArray>
#include <QStringList>

namespace ravno {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// The editor's order scroll bar runs from 2 (order 10) to 10 (order 2).
constexpr int kLowestPosition = 2;
constexpr int kHighestPosition = 10;

FileError refusedName(const QString &name, const QString &reason)
{
    return {DataFolder::displayName(name), reason};
}

// The scroll position a first item stands for, or the reason it is refused.
Result<int> positionFromItem(const QString &name, const QString &item)
{
    const double position = roundHalfEven(parseLeadingNumber(item));
    if (position >= kLowestPosition && position <= kHighestPosition)
        return int(position);
    const QString shown = DataFolder::displayName(name);
    return FileError{shown,
                     QStringLiteral("Массив из файла %1 не загружен: первая строка должна "
                                    "задавать порядок числом от %2 до %3, а в ней «%4».")
                         .arg(shown)
                         .arg(kLowestPosition)
                         .arg(kHighestPosition)
                         .arg(item.left(40))};
}

// Both readers take every item after the first as it stands in the file,
// each followed by one blank; they differ only in the empty ones.
enum class EmptyItems { Appended, Skipped };

QString editorTextFrom(const QStringList &items, EmptyItems empty)
{
    qsizetype length = 0;
    for (qsizetype i = 1; i < items.size(); ++i)
        length += items[i].size() + 1;
    QString text;
    text.reserve(length);
    for (qsizetype i = 1; i < items.size(); ++i) {
        if (items[i].isEmpty() && empty == EmptyItems::Skipped)
            continue;
        text += items[i];
        text += u' ';
    }
    return text;
}

Result<QStringList> readArrayItems(const DataFolder &folder, const QString &name)
{
    const Result<QString> text = readWholeFile(folder.pathOf(name), DataFolder::displayName(name));
    if (!text)
        return text.error();
    return readItems(text.value());
}

} // namespace

QString arrayFileText(int scrollPosition, const QString &editorText)
{
    // The print form is plain ASCII: the lines are put together as bytes,
    // each number written in place, and widened once at the end. Files reach
    // a million lines, so nothing is allocated per line.
    constexpr qsizetype kLineMax = kPrintFormMaxChars + 2;
    QByteArray bytes(kLineMax + editorText.size() + editorText.size() / 2, Qt::Uninitialized);
    qsizetype used = 0;
    const auto writeLine = [&](double value) {
        if (bytes.size() - used < kLineMax)
            bytes.resize(bytes.size() * 2);
        char *end = writePrintForm(value, bytes.data() + used);
        *end++ = '\r';
        *end++ = '\n';
        used = end - bytes.constData();
    };
    writeLine(scrollPosition);
    // The pieces of the text split at every single blank, as splitPieces
    // gives them, without making a list of them.
    const QStringView text(editorText);
    for (qsizetype start = 0; start < text.size();) {
        qsizetype blank = text.indexOf(u' ', start);
        if (blank < 0)
            blank = text.size();
        writeLine(parseLeadingNumber(text.sliced(start, blank - start)));
        if (blank == text.size() - 1)
            writeLine(0); // a trailing blank ends an empty last piece
        start = blank + 1;
    }
    return QString::fromLatin1(bytes.constData(), used);
}

Status writeArrayFile(const DataFolder &folder, const QString &name, int scrollPosition,
                      const QString &editorText)
{
    if (const auto refusal = refuseArrayName(name))
        return refusedName(name, *refusal);
    return replaceFile(folder.pathOf(name), DataFolder::displayName(name),
                       arrayFileText(scrollPosition, editorText));
}

Result<LoadedArray> readNamedArray(const DataFolder &folder, const QString &name)
{
    if (const auto refusal = refuseArrayName(name))
        return refusedName(name, *refusal);
    const Result<QStringList> items = readArrayItems(folder, name);
    if (!items)
        return items.error();
    // An empty file has no first item; it reads as an empty one, and so is refused.
    const QString first = items.value().isEmpty() ? QString() : items.value().first();
    const Result<int> position = positionFromItem(name, first);
    if (!position)
        return position.error();

    LoadedArray loaded;
    loaded.scrollPosition = position.value();
    loaded.editorText = editorTextFrom(items.value(), EmptyItems::Appended);
    return loaded;
}

Result<LoadedArray> readLastArray(const DataFolder &folder)
{
    // The empty line creates the file when it is missing; later loads skip it.
    const Status appended = appendToFile(folder.pathOf(kLastArrayName),
                                         DataFolder::displayName(kLastArrayName), kLineEnd);
    if (!appended)
        return appended.error();
    const Result<QStringList> items = readArrayItems(folder, kLastArrayName);
    if (!items)
        return items.error();

    LoadedArray loaded;
    if (items.value().isEmpty() || items.value().first().isEmpty()) {
        loaded.hasData = false;
        return loaded;
    }
    const Result<int> position = positionFromItem(kLastArrayName, items.value().first());
    if (!position)
        return position.error();
    loaded.scrollPosition = position.value();
    loaded.editorText = editorTextFrom(items.value(), EmptyItems::Skipped);
    return loaded;
}

} // namespace ravno
