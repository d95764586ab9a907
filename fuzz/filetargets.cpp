// SPDX-License-Identifier: GPL-3.0-or-later
// The targets that read files: the item reader, saved arrays and LostMas,
// the catalogue and the answer log.
#include "fuzz/targets.h"
#include "fuzz/targetsupport.h"

#include "core/text/arraytext.h"
#include "core/exact/exactnumber.h"
#include "core/order.h"
#include "core/workspace.h"
#include "storage/answerlog.h"
#include "storage/arrayfile.h"
#include "storage/catalogue.h"
#include "storage/itemreader.h"
#include "storage/textfile.h"

#include <QLocale>

namespace ravno::fuzz {

QString items(QByteArrayView input)
{
    const QString text = decodeText(input.toByteArray());
    const QStringList found = readItems(text);
    // Every line gives at least one item, and no item crosses a line end.
    if (found.size() < splitLines(text).size())
        return describe("fewer items than lines", text);
    for (const QString &item : found)
        if (item.contains(u'\n'))
            return describe("line end inside an item", item);
    return {};
}

QString arrayFiles(QByteArrayView input)
{
    const DataFolder &folder = sandbox();
    const QString name = QStringLiteral("fuzzed");
    if (!store(name, input) || !store(kLastArrayName, input))
        return QStringLiteral("cannot write the input");

    for (const Result<LoadedArray> &loaded : {readNamedArray(folder, name), readLastArray(folder)}) {
        if (loaded && loaded.value().hasData
            && !isScrollPosition(loaded.value().scrollPosition))
            return describe("scroll position out of range", QString::number(loaded.value().scrollPosition));
    }

    // Once saved by the program, a load and a save change nothing.
    const Result<LoadedArray> first = readNamedArray(folder, name);
    if (!first)
        return {};
    QString texts[3] = {first.value().editorText};
    for (int round = 1; round < 3; ++round) {
        // The file holds print forms only, so nothing here may be refused.
        const Status saved = writeArrayFile(folder, name, first.value().scrollPosition, texts[round - 1]);
        if (!saved)
            return describe("cannot save", saved.error());
        const Result<LoadedArray> again = readNamedArray(folder, name);
        if (!again || again.value().scrollPosition != first.value().scrollPosition)
            return describe("saved array does not load back", texts[round - 1]);
        texts[round] = again.value().editorText;
    }
    if (texts[2] != texts[1])
        return describe("save and load", texts[1] + QStringLiteral(" -> ") + texts[2]);
    return {};
}

namespace {

// Every value of a system of order n filled from the text, exactly.
std::vector<mpq_class> exactSystemOf(int n, const QString &text)
{
    Workspace ws;
    ws.resize(n);
    (void)fillFromText(ws, n, text, QLocale::c());
    std::vector<mpq_class> values;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j)
            values.push_back(ws.exact() ? ws.exact()->value(i, j) : exactValue(ws.at(i, j)));
    return values;
}

} // namespace

QString fractionFile(QByteArrayView input)
{
    const DataFolder &folder = sandbox();
    const QString name = QStringLiteral("fractions");
    if (!store(name, QByteArray(" 2 \r\n") + input.toByteArray()))
        return QStringLiteral("cannot write the input");
    const Result<LoadedArray> read = readNamedArray(folder, name);
    if (!read)
        return {};
    const QString text = read.value().editorText;
    const std::vector<mpq_class> typed = exactSystemOf(10, text);

    // Saved as the program writes it (the bytes put down straight, without
    // the writer's sync to disk, for speed) and read back by either reader:
    // the same file each time, and the same system, exactly.
    const QByteArray written = arrayFileText(2, text).toLatin1();
    for (const QString &file : {name, kLastArrayName}) {
        if (!store(file, written))
            return QStringLiteral("cannot write the input");
        const Result<LoadedArray> loaded = file == name ? readNamedArray(folder, file) : readLastArray(folder);
        if (!loaded)
            return describe("saved array does not load back", loaded.error());
        const QString again = loaded.value().editorText;
        if (arrayFileText(2, again).toLatin1() != written)
            return describe("file changed", again.left(200));
        if (exactSystemOf(10, again) != typed)
            return describe("system changed", text + QStringLiteral(" -> ") + again);
    }
    return {};
}

QString catalogue(QByteArrayView input)
{
    const DataFolder &folder = sandbox();
    if (!store(kCatalogueName, input))
        return QStringLiteral("cannot write the input");
    const Result<QStringList> names = readCatalogueNames(folder);
    if (!names)
        return describe("names", names.error());
    for (const QString &listed : names.value())
        if (listed.isEmpty() || listed == u" " || listed.contains(u'\n'))
            return describe("listed a line that is no name", listed);
    const Result<QString> display = readCatalogueForDisplay(folder);
    if (!display)
        return describe("display", display.error());
    if (!display.value().isEmpty() && !display.value().endsWith(QStringLiteral("\r\n")))
        return describe("display without its line end", display.value());
    return {};
}

QString answerLog(QByteArrayView input)
{
    const DataFolder &folder = sandbox();
    if (!store(kAnswerLogName, input))
        return QStringLiteral("cannot write the input");
    const Result<QString> whole = readWholeFile(folder.pathOf(kAnswerLogName), kAnswerLogName);
    if (!whole)
        return describe("read", whole.error());
    QStringList entries = splitLines(whole.value());
    entries.removeAll(QString());

    OpenFiles files;
    AnswerLog log(folder, files);
    // Paging from the first answer meets every entry once, in order.
    QStringList paged;
    for (Result<LogEntry> entry = log.first(); entry && entry.value().line;
         entry = log.next()) {
        paged.append(*entry.value().line);
        if (paged.size() > entries.size())
            return describe("paging runs past the end", paged.join(u'|'));
    }
    if (paged != entries)
        return describe("paging", paged.join(u'|') + QStringLiteral(" vs ") + entries.join(u'|'));

    const Result<LogEntry> last = log.last();
    if (!last || last.value().line.value_or(QString()) != (entries.isEmpty() ? QString() : entries.last()))
        return describe("last answer", entries.join(u'|'));
    if (files.isPaging())
        return QStringLiteral("still paging after the last answer");

    const Result<LogText> all = log.all();
    if (!all)
        return {}; // a log with characters the code page lacks cannot be rewritten
    const QString listed = entries.isEmpty() ? QString() : entries.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    if (all.value().entries != listed)
        return describe("all answers", all.value().entries);
    return {};
}

} // namespace ravno::fuzz
