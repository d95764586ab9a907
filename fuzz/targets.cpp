// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz/targets.h"

#include "core/text/arraytext.h"
#include "core/check/checktext.h"
#include "core/exact/exactelimination.h"
#include "core/exact/exactnumber.h"
#include "core/text/numbertext.h"
#include "core/order.h"
#include "core/text/pastedsystem.h"
#include "core/exact/solver.h"
#include "core/workspace.h"
#include "storage/answerlog.h"
#include "storage/arrayfile.h"
#include "storage/catalogue.h"
#include "storage/datafolder.h"
#include "storage/itemreader.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstring>

namespace ravno::fuzz {
namespace {

// Text as the windows may hand it over: UTF-8, or raw UTF-16 code units
// (lone surrogates included), chosen by the caller.
QString decoded(QByteArrayView bytes, bool utf16)
{
    if (!utf16)
        return QString::fromUtf8(bytes);
    return QString(reinterpret_cast<const QChar *>(bytes.data()), bytes.size() / 2);
}

QString describe(const char *what, const QString &detail)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + detail;
}

QString describe(const char *what, const FileError &error)
{
    return describe(what, QStringLiteral("failure %1 on %2 (%3)")
                              .arg(int(error.kind))
                              .arg(error.path, error.system));
}

// One working folder with its files/ for the whole fuzzing run; every input
// replaces the file it is read from.
const DataFolder &sandbox()
{
    static QTemporaryDir dir;
    static const DataFolder folder = [] {
        QDir(dir.path()).mkdir(QStringLiteral("files"));
        return DataFolder(QDir(dir.path()));
    }();
    return folder;
}

bool store(const QString &name, QByteArrayView bytes)
{
    QFile file(sandbox().pathOf(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes.data(), bytes.size()) == bytes.size();
}

} // namespace

QString leadingNumber(QByteArrayView input)
{
    const bool utf16 = !input.isEmpty() && (input.front() & 1);
    const QString text = decoded(input.isEmpty() ? input : input.sliced(1), utf16);
    const double value = parseLeadingNumber(text);
    if (!std::isfinite(value))
        return describe("not finite", text);
    if (value == 0 && std::signbit(value))
        return describe("negative zero", text);

    // Blanks, tabs and line feeds count nowhere.
    QString squeezed = text;
    squeezed.remove(u' ').remove(u'\t').remove(u'\n');
    const double again = parseLeadingNumber(squeezed);
    if (again != value)
        return describe("blanks changed the value", text);

    // What the array files store reads back as the very same number.
    const QString printed = formatPrint(value);
    if (parseLeadingNumber(printed) != value)
        return describe("print form does not read back", printed);
    for (const QString &shown : {formatAnswer(value, QLocale::c()), formatGeneral(value, QLocale::c())})
        if (shown.contains(u' ') || shown.contains(QLatin1String("nan"), Qt::CaseInsensitive)
            || shown.contains(QLatin1String("inf"), Qt::CaseInsensitive))
            return describe("bad number text", shown);
    return {};
}

QString arrayText(QByteArrayView input)
{
    if (input.isEmpty())
        return {};
    const int selector = static_cast<unsigned char>(input.front());
    const int n = 2 + selector % 9;
    const QLocale locale = (selector / 9) % 2 ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
    const QString text = decoded(input.sliced(1), (selector / 18) % 2);

    Workspace ws;
    ws.resize(n);
    const std::optional<QString> caption = fillFromText(ws, n, text, locale);
    if (caption.has_value() == text.isEmpty())
        return describe("caption present for an empty text or missing otherwise", text);
    if (ws.order() != n || ws.rowCount() != n)
        return describe("workspace lost its shape", text);
    if (!caption)
        return {};
    if (caption->count(QStringLiteral("\n\r")) != n || caption->count(QStringLiteral("   |   ")) != n)
        return describe("preview rows", *caption);
    // Beside a typed fraction every value is kept exactly, the doubles its
    // nearest; without one the doubles are all there is.
    if (ws.exact().has_value() == ws.fractionCells().empty())
        return describe("exact copy without a fraction or the other way", text);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j)
            if (ws.exact() ? ws.at(i, j) != ws.exact()->nearest(i, j) : !std::isfinite(ws.at(i, j)))
                return describe("matrix value not its exact one's nearest", text);

    const SolveResult result = solve(ws, locale);
    if (result.matrixText.count(QStringLiteral("\r\n")) != n)
        return describe("eliminated matrix rows", result.matrixText);
    switch (result.outcome) {
    case SolveResult::Outcome::Solved:
        if (ws.answers().size() != std::size_t(n) || !result.answerLine.endsWith(QStringLiteral("  ")))
            return describe("answers", result.answerLine);
        for (const Answer &answer : ws.answers())
            if (!std::holds_alternative<double>(answer) || !std::isfinite(std::get<double>(answer)))
                return describe("answer not a finite number", result.answerLine);
        break;
    case SolveResult::Outcome::NoUniqueSolution:
        if (result.answerLine != kNoUniqueSolution)
            return describe("no unique solution line", result.answerLine);
        break;
    case SolveResult::Outcome::OutOfRange:
        if (result.answerLine != kOutOfRange)
            return describe("out of range line", result.answerLine);
        break;
    }
    if (result.outcome != SolveResult::Outcome::Solved
        && (ws.answers().size() != 1 || !std::holds_alternative<QString>(ws.answers().front())))
        return describe("failed solve left answers", result.answerLine);
    return {};
}

QString exactSolve(QByteArrayView input)
{
    if (input.isEmpty())
        return {};
    const int n = 2 + static_cast<unsigned char>(input.front()) % 9;
    Workspace ws;
    ws.resize(n);
    const QByteArrayView values = input.sliced(1);
    for (int k = 0; k < n * (n + 1) && (k + 1) * 8 <= values.size(); ++k) {
        double value = 0;
        std::memcpy(&value, values.data() + k * 8, 8);
        if (std::isfinite(value) && nearestDouble(exactValue(value)) != value)
            return describe("exact value does not read back", QString::number(value, 'g', 17));
        ws.set(k / (n + 1), k % (n + 1), std::isfinite(value) ? value : 0.0);
    }

    const SolveResult result = solve(ws, QLocale::c());
    const SolveRecord &record = result.record;
    if (result.matrixText.count(QStringLiteral("\r\n")) != n)
        return describe("eliminated matrix rows", result.matrixText);
    if (record.unique != (result.outcome != SolveResult::Outcome::NoUniqueSolution))
        return describe("outcome and record disagree", result.answerLine);
    if (!record.unique) {
        const ExactMatrix left = record.eliminated();
        const int k = record.zeroColumn;
        if (k < 0 || k >= n)
            return describe("no zero column", result.matrixText);
        for (int i = k; i < n; ++i)
            if (left[std::size_t(i)][std::size_t(k)] != 0)
                return describe("refused with a pivot left", result.matrixText);
    } else {
        const ExactMatrix before = record.before();
        const std::vector<mpq_class> answers = record.answers();
        for (int i = 0; i < n; ++i) {
            mpq_class sum = 0;
            for (int j = 0; j < n; ++j)
                sum += before[std::size_t(i)][std::size_t(j)] * answers[std::size_t(j)];
            if (sum != before[std::size_t(i)][std::size_t(n)])
                return describe("answers do not satisfy the system", result.answerLine);
        }
    }
    if (solve(ws, QLocale::c()).answerLine != result.answerLine)
        return describe("second solve differs", result.answerLine);
    return {};
}

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

QString pastedCells(QByteArrayView input)
{
    const bool utf16 = !input.isEmpty() && (input.front() & 1);
    const QString paste = decoded(input.isEmpty() ? input : input.sliced(1), utf16);
    const PastedSystem system = readPastedSystem(paste);
    using Kind = PastedSystem::Kind;
    if (system.kind == Kind::Typed || system.kind == Kind::Refused)
        return {};
    // Every cell read is one value written: none shifted, none split.
    const qsizetype written = splitPieces(system.text).size();
    if (written != system.cells)
        return describe("values written differ from cells read", system.text);
    if ((system.kind == Kind::Cell) != (system.cells == 1))
        return describe("one cell taken for a system or the other way", system.text);
    if (system.order != 0 && system.cells != qsizetype(system.order) * (system.order + 1))
        return describe("order without its cells", system.text);
    return {};
}

QString rowOperation(QByteArrayView input)
{
    const int first = input.isEmpty() ? 0 : static_cast<unsigned char>(input.front());
    const int order = kLowestOrder + (first >> 1) % (kHighestOrder - kLowestOrder + 1);
    const QString line = decoded(input.isEmpty() ? input : input.sliced(1), first & 1);
    // As a typed row or an answer, on a system of one solution whose
    // every row is needed: a row taken as a step is the row typed.
    ExactMatrix system(std::size_t(order), std::vector<mpq_class>(std::size_t(order + 1)));
    for (int i = 0; i < order; ++i)
        for (int j = 0; j <= order; ++j)
            system[std::size_t(i)][std::size_t(j)] = i == j ? order + 1 : (i + j) % 3;
    CheckSession session(system);
    const CheckEntry entry = session.enter(line);
    if (entry.kind == CheckEntry::Kind::Row && entry.stepped
        && session.current()[std::size_t(entry.typed.row)] != entry.typed.values)
        return describe("a row taken is not the row typed", line);
    if (entry.kind == CheckEntry::Kind::Row && entry.typed.failure == TypedRow::Failure::None && !entry.stepped
        && !entry.row.unchanged && entry.row.expected == entry.row.typed)
        return describe("a wrong entry named that is right", line);
    for (const CheckNote &note : session.notes())
        (void)noteText(note);

    const ParsedOperation parsed = parseOperation(line, order);
    if (parsed.at < 0 || parsed.at > line.size())
        return describe("stopped outside the line", line);
    if (!parsed.ok())
        return {};
    const RowOperation &op = parsed.operation;
    const auto inRange = [order](int row) { return row >= 0 && row < order; };
    if (!inRange(op.row) || !inRange(op.other))
        return describe("row outside the system", line);
    if (op.factor == 0 || (op.kind != RowOperation::Kind::Scale && op.other == op.row))
        return describe("no elementary operation accepted", line);
    // The step as listed reads back as the same step.
    const QString formula = operationFormula(op, QLocale::c());
    const ParsedOperation back = parseOperation(formula, order);
    if (!formula.contains(u'≈')
        && (!back.ok() || back.operation.kind != op.kind || back.operation.row != op.row
            || back.operation.other != op.other || back.operation.factor != op.factor
            || back.operation.multiple != op.multiple || back.operation.divides != op.divides))
        return describe("the listed step reads otherwise", formula);
    // Applied to the identity, the step leaves the rows independent.
    ExactMatrix unit(std::size_t(order), std::vector<mpq_class>(std::size_t(order + 1)));
    for (int i = 0; i < order; ++i)
        unit[std::size_t(i)][std::size_t(i)] = 1;
    const ExactMatrix after = applyOperation(unit, op);
    (void)operationWords(op, QLocale::c());
    for (const auto &row : after) {
        bool zero = true;
        for (const mpq_class &v : row)
            zero = zero && v == 0;
        if (zero)
            return describe("a row lost", formula);
    }
    (void)matrixShape(after);
    return {};
}

std::span<const Target> targets()
{
    static const std::array<Target, 10> all = {{
        {"number", leadingNumber},
        {"arraytext", arrayText},
        {"exact", exactSolve},
        {"items", items},
        {"arrayfile", arrayFiles},
        {"catalogue", catalogue},
        {"answerlog", answerLog},
        {"paste", pastedCells},
        {"rowop", rowOperation},
        {"fractionfile", fractionFile},
    }};
    return all;
}

} // namespace ravno::fuzz
