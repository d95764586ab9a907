// SPDX-License-Identifier: GPL-3.0-or-later
// Times what a user waits for: the order-10 solve, parse and preview and
// array file write and read, the start of the program until its main window
// is shown, and the array file writer and both readers on files of growing
// size, so that a reader that is not linear shows at a glance, and the
// array editor loading and saving a long last array, and last the CPU share
// of the idle windows; and the exact solver on its hardest inputs, and the
// storage readers on a large file, and the detailed report of an order-10
// solve. Run by hand:
//   build/ravno_bench [largest line count, default the editor's bound] [seconds, default 60]
//   build/ravno_bench --exact [order-10 systems, default 1000; 200 in the full run],
//     after the order-10 solve of random digits and a fifth as many systems of
//     six kinds against FLINT, when built with it
//   build/ravno_bench --large-readers [MB, default 200]
//   build/ravno_bench --bounds
//   build/ravno_bench --report
#include "bench/idle.h"
#include "bench/exact.h"
#include "bench/largereaders.h"
#include "bench/reportbench.h"
#include "bench/sections.h"
#include "core/text/pastedsystem.h"
#include "storage/arrayfile.h"
#include "storage/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace ravno;

namespace {

bool check(bool ok, const char *what)
{
    if (!ok)
        std::fprintf(stderr, "%s failed\n", what);
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], bench::startupChildOption) == 0)
        return bench::startupChild(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::emptyWindowOption) == 0)
        return bench::startupChild(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::editorChildOption) == 0)
        return bench::editorChild(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::largeReadersOption) == 0)
        return bench::largeReaders(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::readerChildOption) == 0)
        return bench::readerChild(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::boundsOption) == 0)
        return bench::bounds(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::boundsChildOption) == 0)
        return bench::boundsChild(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::idleChildOption) == 0)
        return bench::idleChild(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::reportChildOption) == 0)
        return bench::reportChild(argc, argv);
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], bench::exactOption) == 0)
    {
        const int systems = argc > 2 ? std::max(5, QByteArray(argv[2]).toInt()) : 1000;
        return bench::benchSolveOrderTen() && bench::benchAgainstReference(systems / 5)
                       && bench::benchExact(systems) && bench::benchHilbert(systems / 5)
                   ? 0
                   : 1;
    }
    if (argc > 1 && qstrcmp(argv[1], bench::reportOption) == 0)
        return bench::benchReport(app.applicationFilePath()) ? 0 : 1;
    const qsizetype largest = argc > 1 ? QByteArray(argv[1]).toLongLong() : kMostValues;
    const int idleSeconds = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 60;

    QTemporaryDir work;
    if (!check(work.isValid() && QDir(work.path()).mkdir(QStringLiteral("files")), "setup"))
        return 1;
    const DataFolder folder{QDir(work.path())};

    if (!bench::benchOrderTen(folder) || !bench::benchMillionLines(folder)
        || !bench::benchStartup(app.applicationFilePath(), 11)
        || !bench::benchEditor(app.applicationFilePath(), int(kMostValues))
        || !bench::benchReport(app.applicationFilePath()) || !bench::benchAgainstReference(40)
        || !bench::benchExact(200) || !bench::benchHilbert(40))
        return 1;
    std::printf("\n");

    std::printf("%10s %10s %12s %12s %12s\n", "lines", "MB", "write ms", "named ms", "last ms");
    for (qsizetype n = largest / 4; n <= largest; n *= 2) {
        const QString text = bench::editorText(n);
        QElapsedTimer timer;

        timer.start();
        if (!check(bool(writeArrayFile(folder, QStringLiteral("big"), 9, text)), "write")
            || !check(bool(writeArrayFile(folder, kLastArrayName, 9, text)), "write LostMas"))
            return 1;
        const double writeMs = timer.nsecsElapsed() / 2e6; // two files written

        timer.start();
        const Result<LoadedArray> named = readNamedArray(folder, QStringLiteral("big"));
        const double namedMs = timer.nsecsElapsed() / 1e6;

        timer.start();
        const Result<LoadedArray> last = readLastArray(folder);
        const double lastMs = timer.nsecsElapsed() / 1e6;

        if (!check(named && last && named.value().editorText == last.value().editorText,
                   "read"))
            return 1;
        const double megabytes = QFileInfo(folder.pathOf(QStringLiteral("big"))).size() / 1e6;
        std::printf("%10lld %10.1f %12.1f %12.1f %12.1f\n", static_cast<long long>(n + 1),
                    megabytes, writeMs, namedMs, lastMs);
    }
    std::printf("\n");
    return bench::benchIdle(app.applicationFilePath(), idleSeconds, 100000) ? 0 : 1;
}
