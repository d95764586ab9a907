// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/largereaders.h"

#include "storage/answerlog.h"
#include "storage/arrayfile.h"
#include "storage/catalogue.h"
#include "storage/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <map>

namespace ravno::bench {
namespace {

// The reader's work; false when it failed where it should not.
using Reader = std::function<bool(const DataFolder &)>;

const std::map<QString, std::pair<QString, Reader>> &readers()
{
    // Over the bounds the readers refuse at once: an array of more than a
    // million values, a view of more than 16 MB. The lists read the first
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
        {"8-million", {"saved array, 1 000 000 values",
                       [](const DataFolder &f) { return readNamedArray(f, "million").ok(); }}},
    };
    return table;
}

long peakKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
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

} // namespace

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
        || !writeRepeated(folder.pathOf(kAnswerLogName), "", "1.000  3.000  \r\n", bytes)) {
        std::fprintf(stderr, "could not write the files\n");
        return 1;
    }
    std::printf("%-42s %8s %10s %10s %8s\n", "reader", "MB", "ms", "peak MB", "x size");
    for (const auto &[key, reader] : readers()) {
        const QString file = key == "1-last" ? kLastArrayName
                             : key == "2-named" ? QStringLiteral("big")
                             : key == "3-junk" ? QStringLiteral("junk")
                             : key == "8-million" ? QStringLiteral("million")
                             : key.endsWith("ans") ? kAnswerLogName : kCatalogueName;
        const double size = QFileInfo(folder.pathOf(file)).size() / 1048576.0;
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(app.applicationFilePath(), {readerChildOption, key, work.path()});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            std::printf("%-42s failed\n", qPrintable(reader.first));
            continue;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        const double peakMb = figures.value(1).toDouble() / 1024;
        std::printf("%-42s %8.0f %10s %10.0f %8.2f\n", qPrintable(reader.first), size,
                    figures.value(0).constData(), peakMb, peakMb / size);
    }
    return 0;
}

} // namespace ravno::bench
