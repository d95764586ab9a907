// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/arrayfile.h"

#include "core/text/arraytext.h"
#include "core/exact/exactnumber.h"
#include "core/text/fractiontext.h"
#include "core/text/numbertext.h"
#include "core/order.h"
#include "core/text/pastedsystem.h"
#include "storage/answerlog.h"
#include "storage/filelock.h"
#include "storage/itemreader.h"
#include "storage/textfile.h"

#include <QByteArray>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace ravno {
namespace {

bool inRange(const QString &item)
{
    return isScrollPosition(roundHalfEven(parseLeadingNumber(item)));
}

// The scroll position a first item stands for, or why it is refused.
Result<int> positionFromItem(const QString &name, const QString &item)
{
    if (inRange(item))
        return int(roundHalfEven(parseLeadingNumber(item)));
    FileError refused(Failure::OrderOutOfRange, DataFolder::displayName(name), Access::Read);
    refused.firstItem = item.left(40);
    return refused;
}

// Both readers take every item after the first as it stands in the file,
// joined by single blanks; they differ only in the empty ones. No blank
// follows the last: it would end an empty piece, worth 0, and so each save
// and load would add a value to the array.
enum class EmptyItems { Appended, Skipped };

struct ArrayItems
{
    QString first;      // empty when the file holds none
    QString editorText;
};

// The file is streamed: a first item that acceptFirst refuses ends the
// reading there, so a large file that is no array costs nothing, and so
// does the value after the most an array may hold.
Result<ArrayItems> readArrayItems(const DataFolder &folder, const QString &name, EmptyItems empty,
                                  const std::function<bool(const QString &)> &acceptFirst)
{
    ArrayItems read;
    bool atFirst = true;
    bool refused = false;
    qsizetype values = 0;
    const auto onItem = [&](QStringView item) {
        if (refused)
            return;
        if (atFirst) {
            atFirst = false;
            read.first = item.toString();
            refused = !acceptFirst(read.first);
            return;
        }
        if (item.isEmpty() && empty == EmptyItems::Skipped)
            return;
        if (++values > kMostValues) {
            refused = true;
            return;
        }
        if (values > 1)
            read.editorText += u' ';
        read.editorText += item;
    };
    const Status status = readLines(folder.pathOf(name), DataFolder::displayName(name),
                                    [&](QStringView line) {
                                        forEachItem(line, onItem);
                                        return !refused;
                                    });
    if (!status)
        return status.error();
    if (values > kMostValues) {
        FileError tooMany(Failure::TooManyValues, DataFolder::displayName(name), Access::Read);
        tooMany.limit = kMostValues;
        tooMany.size = QFileInfo(folder.pathOf(name)).size();
        return tooMany;
    }
    return read;
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
    // A fraction whose print form would read back as another number (1/3)
    // is written as the fraction, in the print form's place.
    const auto writeFraction = [&](const mpq_class &value) {
        const QByteArray line = fractionPrintForm(value);
        while (bytes.size() - used < line.size() + 2)
            bytes.resize(bytes.size() * 2);
        char *end = std::copy(line.begin(), line.end(), bytes.data() + used);
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
        const QStringView piece = text.sliced(start, blank - start);
        const PieceFraction fraction = readFraction(piece);
        if (fraction.kind != PieceFraction::Kind::Fraction)
            writeLine(parseLeadingNumber(piece));
        else if (printFormReadsBack(fraction.value))
            writeLine(nearestDouble(fraction.value));
        else
            writeFraction(fraction.value);
        if (blank == text.size() - 1)
            writeLine(0); // a trailing blank ends an empty last piece
        start = blank + 1;
    }
    return QString::fromLatin1(bytes.constData(), used);
}

Status writeArrayFile(const DataFolder &folder, const QString &name, int scrollPosition,
                      const QString &editorText)
{
    if (auto refusal = refuseArrayName(name))
        return refusedName(DataFolder::displayName(name), *refusal);
    // Under the file's own lock, as every change is, but without a lock
    // file: it would lie beside the arrays under a name of its own.
    const QString path = folder.pathOf(name);
    const QString shown = DataFolder::displayName(name);
    return underLock(path, shown, folder.lockWaitMs(), [&] {
        return replaceFile(path, shown, arrayFileText(scrollPosition, editorText));
    }, false);
}

Result<LoadedArray> readNamedArray(const DataFolder &folder, const QString &name)
{
    if (auto refusal = refuseArrayName(name))
        return refusedName(DataFolder::displayName(name), *refusal);
    // An empty file has no first item; it reads as an empty one, and so is refused.
    const Result<ArrayItems> items = readArrayItems(folder, name, EmptyItems::Appended, inRange);
    if (!items)
        return items.error();
    const Result<int> position = positionFromItem(name, items.value().first);
    if (!position)
        return position.error();

    LoadedArray loaded;
    loaded.scrollPosition = position.value();
    loaded.editorText = items.value().editorText;
    return loaded;
}

Result<LoadedArray> readLastArray(const DataFolder &folder)
{
    // The empty line creates the file when it is missing; later loads skip it.
    const QString path = folder.pathOf(kLastArrayName);
    const QString shown = DataFolder::displayName(kLastArrayName);
    const Status appended = underLock(path, shown, folder.lockWaitMs(), [&] {
        return appendToFile(path, shown, kLineEnd);
    }, false);
    if (!appended && !readableDespite(appended.error(), folder.pathOf(kLastArrayName)))
        return asReadFailure(appended.error());
    const Result<ArrayItems> items =
        readArrayItems(folder, kLastArrayName, EmptyItems::Skipped,
                       [](const QString &first) { return !first.isEmpty() && inRange(first); });
    if (!items)
        return items.error();

    LoadedArray loaded;
    if (!appended)
        loaded.notice = appended.error();
    if (items.value().first.isEmpty()) {
        loaded.hasData = false;
        return loaded;
    }
    const Result<int> position = positionFromItem(kLastArrayName, items.value().first);
    if (!position)
        return position.error();
    loaded.scrollPosition = position.value();
    loaded.editorText = items.value().editorText;
    return loaded;
}

ArrayStore::ArrayStore(const DataFolder &folder, OpenFiles &files)
    : m_folder(folder)
    , m_files(files)
{
}

Status ArrayStore::save(const QString &name, int scrollPosition, const QString &editorText)
{
    m_files.closeAll();
    return writeArrayFile(m_folder, name, scrollPosition, editorText);
}

Result<LoadedArray> ArrayStore::load(const QString &name)
{
    m_files.closeAll();
    return readNamedArray(m_folder, name);
}

Result<LoadedArray> ArrayStore::loadLast()
{
    m_files.closeAll();
    return readLastArray(m_folder);
}

} // namespace ravno
