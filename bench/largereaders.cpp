// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/largereaders.h"

#include "storage/answerlog.h"
#include "storage/arrayfile.h"
#include "storage/catalogue.h"
#include "storage/datafolder.h"
#include "bench/sections.h"
#include "core/text/arraytext.h"
#include "core/text/pastedsystem.h"
#include "ui/common/context.h"
#include "ui/common/messages.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace ravno::bench {
namespace {

// The reader's work; false when it failed where it should not.
using Reader = std::function<bool(const DataFolder &)>;

const std::map<QString, std::pair<QString, Reader>> &readers()
{
    // Over the bounds the readers refuse at once: an array of more than
    // kMostValues values, a view of more than kMostShownBytes. The lists read the first
    // hundred thousand names.
    static const std::map<QString, std::pair<QString, Reader>> table = {
        {"1-last", {"last array, value lines (refused)",
                    [](const DataFolder &f) { return !readLastArray(f).ok(); }}},
        {"2-named", {"saved array, value lines (refused)",
                     [](const DataFolder &f) { return !readNamedArray(f, "big").ok(); }}},
        {"3-junk", {"saved array, garbage (refused)",
                    [](const DataFolder &f) { return !readNamedArray(f, "junk").ok(); }}},
        {"4-names", {"SaveList of names, names for the lists",
                     [](const DataFolder &f) { return readCatalogueNames(f).ok(); }}},
        {"5-view", {"SaveList of names, view (refused)",
                    [](const DataFolder &f) { return !readCatalogueForDisplay(f).ok(); }}},
        {"6-lastans", {"runaway log, last answer",
                       [](const DataFolder &f) { OpenFiles o; return AnswerLog(f, o).last().ok(); }}},
        {"7-allans", {"runaway log, all answers (refused)",
                      [](const DataFolder &f) { OpenFiles o; return !AnswerLog(f, o).all().ok(); }}},
        {"8-million", {"saved array, 1 000 000 values (refused)",
                       [](const DataFolder &f) { return !readNamedArray(f, "million").ok(); }}},
        // In folders of their own (below): a log of 1 MiB of short answers, and
        // one that is a single line of 32 MiB, which every reader refuses.
        {"9-short-last", {"log of 1 MiB, last answer",
                          [](const DataFolder &f) { OpenFiles o; return AnswerLog(f, o).last().ok(); }}},
        {"9-oneline-last", {"one-line log, last answer (refused)",
                            [](const DataFolder &f) { OpenFiles o; return !AnswerLog(f, o).last().ok(); }}},
        {"9-oneline-first", {"one-line log, first answer (refused)",
                             [](const DataFolder &f) { OpenFiles o; return !AnswerLog(f, o).first().ok(); }}},
        {"9-oneline-all", {"one-line log, all answers (refused)",
                           [](const DataFolder &f) { OpenFiles o; return !AnswerLog(f, o).all().ok(); }}},
    };
    return table;
}

long statusKib(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    return -1;
}

long peakKib()
{
    return statusKib("VmHWM:");
}

// A file of `bytes` bytes: `first`, then `line` over and over.
bool writeRepeated(const QString &path, const QByteArray &first, const QByteArray &line,
                   qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(first) != first.size())
        return false;
    const QByteArray block = line.repeated(int((1 << 20) / line.size()));
    for (qint64 written = first.size(); written < bytes; written += block.size())
        if (file.write(block) != block.size())
            return false;
    return true;
}

bool writeGarbage(const QString &path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator random(11);
    QByteArray block(1 << 20, '\0');
    for (qint64 written = 0; written < bytes; written += block.size()) {
        random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Shown and painted as a person would see it, then timed: whatever runs
// until the window is idle again, and the one repaint after.
double paintedMs(QWidget *window)
{
    QElapsedTimer timer;
    timer.start();
    QCoreApplication::processEvents();
    window->repaint();
    return msSince(timer);
}

// The order-2 answer, the shortest line a solve writes: the most lines a
// log of its size can hold.
const QByteArray kShortAnswer("1.000  3.000  \r\n");

// The workspace filled from a text of as many values as an array may hold,
// as the editor does at each change: median of 21 fills.
double fillMs(const QString &text)
{
    std::vector<double> fills;
    for (int i = 0; i < 21; ++i) {
        Workspace ws;
        QElapsedTimer timer;
        timer.start();
        (void)fillFromText(ws, 10, text, QLocale::c());
        fills.push_back(msSince(timer));
    }
    std::sort(fills.begin(), fills.end());
    return fills[fills.size() / 2];
}

// In decimals, or (`fractions`) in fractions in lowest terms that no
// decimal of a double stands for, such as 1/1009.
int editorAtBound(AppContext &context, bool fractions)
{
    QString text;
    for (qsizetype i = 0; i < kMostValues; ++i)
        text += fractions ? QString::number(i % 1000 + 1) + QStringLiteral("/1009 ")
                          : QString::number(i % 1000 - 500) + QStringLiteral(".25 ");
    text.chop(1);
    std::printf("%-48s %10.3f ms median of 21\n",
                fractions ? "workspace filled from 10 000 fractions" : "workspace filled from 10 000 decimals",
                fillMs(text));
    if (!writeArrayFile(context.folder, kLastArrayName, 2, text).ok())
        return 1;
    Form2 editor(context);
    editor.showEditor();
    paintedMs(&editor);
    QElapsedTimer timer;
    timer.start();
    editor.findChild<QAction *>(QStringLiteral("load"))->trigger();
    const double loadMs = msSince(timer) + paintedMs(&editor);
    auto *line = editor.findChild<QLineEdit *>(QStringLiteral("Text1"));
    if (editor.arrayText() != text || !line)
        return 1;
    std::vector<double> repaints;
    for (int i = 0; i < 5; ++i) {
        timer.start();
        line->repaint();
        repaints.push_back(msSince(timer));
    }
    std::sort(repaints.begin(), repaints.end());
    std::printf("%-48s %10.1f ms\n",
                qPrintable(QStringLiteral("editor: load last array, %1 %3 (%2 chars), shown")
                               .arg(QString::number(kMostValues), QString::number(text.size()),
                                    fractions ? QStringLiteral("fractions") : QStringLiteral("values"))),
                loadMs);
    std::printf("%-48s %10.1f ms median of 5\n", "editor: the line of numbers repainted", repaints[2]);
    return 0;
}

int allAnswersAtBound(AppContext &context, qint64 bytes)
{
    QFile log(context.folder.pathOf(kAnswerLogName));
    const QByteArray lines = kShortAnswer.repeated(int(bytes / kShortAnswer.size()) - 1);
    if (!log.open(QIODevice::WriteOnly) || log.write(lines) != lines.size())
        return 1;
    log.close();
    Form1 window(context);
    window.show();
    paintedMs(&window);
    const long idleKib = statusKib("VmRSS:");
    auto *all = window.findChild<QPushButton *>(QStringLiteral("Command4"));
    auto *view = window.findChild<QPlainTextEdit *>(QStringLiteral("Text2"));
    if (!all || !view)
        return 1;
    QElapsedTimer timer;
    timer.start();
    all->click();
    const double ms = msSince(timer) + paintedMs(&window);
    const double size = QFileInfo(context.folder.pathOf(kAnswerLogName)).size() / 1048576.0;
    std::printf("%-48s %10.1f ms %8.1f MiB above idle (%ld lines shown)\n",
                qPrintable(QStringLiteral("\"Все ответы\", log of %1 MiB").arg(size, 0, 'f', 1)), ms,
                (peakKib() - idleKib) / 1024.0, long(view->blockCount()));
    return 0;
}

int lastAnswerOn(AppContext &context, qint64 bytes)
{
    if (!writeRepeated(context.folder.pathOf(kAnswerLogName), "", kShortAnswer, bytes))
        return 1;
    const long before = statusKib("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    const auto last = context.log.last();
    const double ms = msSince(timer);
    if (!last || !last.value().line)
        return 1;
    std::printf("%-48s %10.1f ms %8.1f MiB above the start\n",
                qPrintable(QStringLiteral("\"Последний ответ\", log of %1 MiB").arg(bytes >> 20)), ms,
                (peakKib() - before) / 1024.0);
    return 0;
}

} // namespace

int bounds(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    for (const char *what : {"editor", "editor-fractions", "allans", "lastans-small", "lastans-large"}) {
        QTemporaryDir work;
        if (!work.isValid() || !QDir(work.path()).mkdir(QStringLiteral("files")))
            return 1;
        QProcess child;
        prepareChild(child, app.applicationFilePath(), {boundsChildOption, what}, work.path());
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            std::printf("%s failed\n", what);
            return 1;
        }
        std::fputs(child.readAllStandardOutput().constData(), stdout);
    }
    return 0;
}

int boundsChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QByteArray what = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    BoxMessages messages;
    AppContext context(DataFolder(QDir::current()), messages);
    if (what == "editor")
        return editorAtBound(context, false);
    if (what == "editor-fractions")
        return editorAtBound(context, true);
    if (what == "allans") // by hand, smaller logs: --bounds-child allans <KiB>
        return allAnswersAtBound(context, argc > 3 ? QByteArray(argv[3]).toLongLong() << 10
                                                   : kMostShownBytes);
    if (what == "lastans-small")
        return lastAnswerOn(context, qint64(1) << 20);
    if (what == "lastans-large")
        return lastAnswerOn(context, qint64(1) << 30);
    return 2;
}

int readerChild(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const auto found = readers().find(QString::fromLocal8Bit(argv[2]));
    if (argc < 4 || found == readers().end())
        return 2;
    const DataFolder folder{QDir(QString::fromLocal8Bit(argv[3]))};
    QElapsedTimer timer;
    timer.start();
    const bool ok = found->second.second(folder);
    std::printf("%.0f %ld\n", timer.nsecsElapsed() / 1e6, peakKib());
    return ok ? 0 : 1;
}

int largeReaders(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 2 ? QByteArray(argv[2]).toLongLong() : 200;
    const qint64 bytes = megabytes << 20;
    QTemporaryDir work;
    if (!work.isValid() || !QDir(work.path()).mkdir(QStringLiteral("files")))
        return 1;
    const DataFolder folder{QDir(work.path())};
    if (!writeRepeated(folder.pathOf("big"), " 9 \r\n", " 123.456 \r\n", bytes)
        || !QFile::copy(folder.pathOf("big"), folder.pathOf(kLastArrayName))
        || !writeGarbage(folder.pathOf("junk"), bytes)
        || !writeRepeated(folder.pathOf(kCatalogueName), "", "array 1\r\n", bytes)
        || !writeRepeated(folder.pathOf("million"), " 9 \r\n" + QByteArray(" 123.456 \r\n").repeated(1000000),
                          "\r\n", 0)
        || !writeRepeated(folder.pathOf(kAnswerLogName), "", "1.000  3.000  \r\n", bytes)
        || !QDir(work.path()).mkpath(QStringLiteral("short/files"))
        || !QDir(work.path()).mkpath(QStringLiteral("oneline/files"))
        || !writeRepeated(work.path() + QStringLiteral("/short/files/lastans"), "",
                          "1.000  3.000  \r\n", 1600)
        || !writeRepeated(work.path() + QStringLiteral("/oneline/files/lastans"), "", "1.000  ",
                          qint64(32) << 20)) {
        std::fprintf(stderr, "could not write the files\n");
        return 1;
    }
    std::printf("%-42s %8s %10s %10s %8s\n", "reader", "MB", "ms", "peak MB", "x size");
    for (const auto &[key, reader] : readers()) {
        const QString file = key == "1-last" ? kLastArrayName
                             : key == "2-named" ? QStringLiteral("big")
                             : key == "3-junk" ? QStringLiteral("junk")
                             : key == "8-million" ? QStringLiteral("million")
                             : key.endsWith("ans") || key.startsWith(u"9-") ? kAnswerLogName
                                                                             : kCatalogueName;
        const QString working = key.startsWith(u"9-short") ? work.path() + QStringLiteral("/short")
                                : key.startsWith(u"9-one") ? work.path() + QStringLiteral("/oneline")
                                                           : work.path();
        const double size = QFileInfo(DataFolder(QDir(working)).pathOf(file)).size() / 1048576.0;
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(app.applicationFilePath(), {readerChildOption, key, working});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            std::printf("%-42s failed\n", qPrintable(reader.first));
            continue;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        const double peakMb = figures.value(1).toDouble() / 1024;
        std::printf("%-42s %8.1f %10s %10.0f %8.2f\n", qPrintable(reader.first), size,
                    figures.value(0).constData(), peakMb, peakMb / size);
    }
    return 0;
}

} // namespace ravno::bench
