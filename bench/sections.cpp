// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/sections.h"

#include "bench/timing.h"
#include "core/text/arraytext.h"
#include "core/order.h"
#include "core/randomdigits.h"
#include "core/exact/solver.h"
#include "storage/arrayfile.h"
#include "ui/common/context.h"
#include "ui/common/messages.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"
#include "ui/saveload/form3.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace ravno::bench {
namespace {

constexpr int kOrder = 10;
constexpr int kBatches = 21;

bool check(bool ok, const char *what)
{
    if (!ok)
        std::fprintf(stderr, "%s failed\n", what);
    return ok;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Resident memory of this process in KiB, from /proc.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

struct StartupRuns
{
    std::vector<double> wall;
    std::vector<double> inside;
    std::vector<double> rssMiB;
};

bool startOnce(const QString &program, const char *option, const QString &folder,
               StartupRuns &runs)
{
    QProcess child;
    prepareChild(child, program, {QString::fromLatin1(option)}, folder);
    QElapsedTimer timer;
    timer.start();
    child.start();
    QByteArray line;
    while (!line.contains('\n') && child.waitForReadyRead(30000))
        line += child.readAllStandardOutput();
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    child.waitForFinished(30000);
    const QList<QByteArray> words = line.trimmed().split(' ');
    bool parsed = false;
    bool rssParsed = false;
    const double own = words.value(1).toDouble(&parsed);
    const double rss = words.value(2).toDouble(&rssParsed) / 1024;
    if (!check(parsed && rssParsed && child.exitCode() == 0, "startup child"))
        return false;
    runs.wall.push_back(elapsed);
    runs.inside.push_back(own);
    runs.rssMiB.push_back(rss);
    return true;
}

} // namespace

void prepareChild(QProcess &child, const QString &program, const QStringList &arguments,
                  const QString &folder)
{
    child.setProgram(program);
    child.setArguments(arguments);
    child.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
}

QString editorText(qsizetype n)
{
    QString text;
    text.reserve(n * 8);
    for (qsizetype i = 0; i < n; ++i) {
        text += QString::number((i * 7919) % 100000 - 50000) + QStringLiteral(".25");
        if (i + 1 < n)
            text += u' ';
    }
    return text;
}

bool benchSolveOrderTen()
{
    // The editor's "RND" fill: 110 digits, each followed by a blank.
    RandomSource random;
    const QString text = randomContents(random, kOrder);
    const QLocale russian(QLocale::Russian, QLocale::Russia);

    Workspace system;
    system.resize(kOrder);
    if (!check(fillFromText(system, kOrder, text, russian).has_value(), "fill"))
        return false;

    // The solver transforms its matrix: every run gets a fresh copy.
    constexpr int perBatch = 200;
    std::vector<Workspace> copies;
    const Timing solving = timeBatches(
        kBatches, perBatch, [&] { copies.assign(perBatch, system); },
        [&](int i) { (void)solve(copies[std::size_t(i)], russian); });
    Workspace once = system;
    if (!check(solve(once, russian).outcome == SolveResult::Outcome::Solved, "solve"))
        return false;
    report("solve, order 10", solving);
    return true;
}

bool benchOrderTen(const DataFolder &folder)
{
    RandomSource random;
    const QString text = randomContents(random, kOrder);
    const QLocale russian(QLocale::Russian, QLocale::Russia);

    Workspace ws;
    report("parse and preview, order 10 (110 values)",
           timeBatches(kBatches, 200, [&](int) { (void)fillFromText(ws, kOrder, text, russian); }));
    if (!benchSolveOrderTen())
        return false;

    const QString name = QStringLiteral("bench");
    bool ok = true;
    report("array file write, order 10 (111 lines)", timeBatches(kBatches, 20, [&](int) {
               ok = ok && writeArrayFile(folder, name, positionOfOrder(kOrder), text).ok();
           }));
    report("array file read (saved array), order 10", timeBatches(kBatches, 20, [&](int) {
               const Result<LoadedArray> loaded = readNamedArray(folder, name);
               ok = ok && loaded && loaded.value().scrollPosition == positionOfOrder(kOrder);
           }));
    return check(ok, "array file");
}

bool benchMillionLines(const DataFolder &folder)
{
    const QString text = editorText(1000000);

    const QString name = QStringLiteral("million");
    bool ok = writeArrayFile(folder, kLastArrayName, 2, text).ok();
    report("array file write, 1000000 value lines", timeBatches(5, 1, [&](int) {
               ok = ok && writeArrayFile(folder, name, 2, text).ok();
           }));
    // Over the editor's bound: refused when the value after it is read.
    report("load saved array, 1000000 lines, refused", timeBatches(5, 1, [&](int) {
               ok = ok && !readNamedArray(folder, name);
           }));
    report("load last array, 1000000 lines, refused", timeBatches(5, 1, [&](int) {
               ok = ok && !readLastArray(folder);
           }));
    return check(ok, "million lines");
}

bool benchStartup(const QString &program, int runs)
{
    QTemporaryDir work;
    StartupRuns ravno;
    StartupRuns empty;
    // Taking turns, so that a busy spell of the machine falls on both.
    for (int run = 0; run < runs; ++run) {
        if (!startOnce(program, startupChildOption, work.path(), ravno)
            || !startOnce(program, emptyWindowOption, work.path(), empty))
            return false;
    }
    const auto line = [runs](const char *what, const std::vector<double> &values,
                             const char *unit) {
        std::printf("%-44s %10.1f %s median %10.1f %s fastest %7d runs\n", what, median(values),
                    unit, *std::min_element(values.begin(), values.end()), unit, runs);
    };
    line("start to main window shown (process)", ravno.wall, "ms");
    line("  of which main() to window shown", ravno.inside, "ms");
    line("start to empty Qt main window shown", empty.wall, "ms");
    line("  of which main() to window shown", empty.inside, "ms");
    std::printf("%-44s %10.2f\n", "start-up, program against empty window",
                median(ravno.wall) / median(empty.wall));
    std::printf("%-44s %10.1f MiB program %10.1f MiB empty %+6.1f MiB\n", "resident memory, shown",
                median(ravno.rssMiB), median(empty.rssMiB),
                median(ravno.rssMiB) - median(empty.rssMiB));
    return true;
}

int startupChild(int argc, char *argv[])
{
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    const bool emptyWindow = argc > 1 && qstrcmp(argv[1], emptyWindowOption) == 0;
    BoxMessages messages;
    AppContext context(DataFolder(QDir::current()), messages);
    std::unique_ptr<QMainWindow> window;
    if (emptyWindow)
        window = std::make_unique<QMainWindow>();
    else
        window = std::make_unique<Form1>(context);
    window->show();
    QElapsedTimer limit;
    limit.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())
           && limit.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    std::printf("shown %.3f %ld\n", double(timer.nsecsElapsed()) / 1e6, residentKiB());
    std::fflush(stdout);
    return window->windowHandle() && window->windowHandle()->isExposed() ? 0 : 1;
}

bool benchEditor(const QString &program, int values)
{
    QTemporaryDir work;
    if (!check(work.isValid() && QDir(work.path()).mkdir(QStringLiteral("files")), "editor setup"))
        return false;
    QProcess child;
    prepareChild(child, program,
                 {QString::fromLatin1(editorChildOption), QString::number(values)}, work.path());
    child.start();
    if (!check(child.waitForFinished(120000) && child.exitCode() == 0, "editor child"))
        return false;
    std::fputs(child.readAllStandardOutput().constData(), stdout);
    return true;
}

int editorChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int values = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 100000;
    const QString text = editorText(values);

    BoxMessages messages;
    AppContext context(DataFolder(QDir::current()), messages);
    if (!writeArrayFile(context.folder, kLastArrayName, 2, text).ok())
        return 1;
    Form2 editor(context);
    editor.showEditor();
    QCoreApplication::processEvents();
    auto *load = editor.findChild<QAction *>(QStringLiteral("load"));
    auto *ready = editor.findChild<QAction *>(QStringLiteral("ready"));
    if (!load || !ready)
        return 1;

    const auto timed = [](QAction *action) {
        QElapsedTimer timer;
        timer.start();
        action->trigger();
        QCoreApplication::processEvents();
        return double(timer.nsecsElapsed()) / 1e6;
    };
    const double loading = timed(load);
    if (editor.arrayText() != text)
        return 1;
    const double saving = timed(ready);
    std::printf("%-44s %10.1f ms\n",
                qPrintable(QStringLiteral("editor: load last array, %1 values").arg(values)), loading);
    std::printf("%-44s %10.1f ms\n", "editor: ready button saves it again", saving);

    // The save/load window over a catalogue of 200 MB of names: the lists
    // take the first hundred thousand.
    QFile list(context.folder.pathOf(kCatalogueName));
    const QByteArray names = QByteArray("array 1\r\n").repeated(1 << 20);
    if (!list.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < 25; ++i)
        if (list.write(names) != names.size())
            return 1;
    list.close();
    // The notice that the list is cut would wait for a click.
    struct Unanswered : Messages
    {
        void inform(QWidget *, const QString &, const QString &) override {}
        Reply confirm(QWidget *, const QString &, const QString &) override { return Reply::Ok; }
    } quiet;
    AppContext quietContext(context.folder, quiet);
    QElapsedTimer opening;
    opening.start();
    {
        Form3 window(quietContext, editor);
        window.show();
        QCoreApplication::processEvents();
        std::printf("%-44s %10.1f ms\n", "save/load window, 200 MB SaveList",
                    double(opening.nsecsElapsed()) / 1e6);
    }
    return 0;
}

} // namespace ravno::bench
