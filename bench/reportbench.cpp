// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/reportbench.h"

#include "bench/sections.h"
#include "bench/timing.h"
#include "core/arraytext.h"
#include "core/randomdigits.h"
#include "core/report.h"
#include "core/solver.h"
#include "ui/common/messages.h"
#include "ui/report/reportwindow.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextBrowser>

#include <cstdio>

namespace ravno::bench {
namespace {

constexpr int kOrder = 10;

// 110 numbers of 17 significant digits, exponents -300..300.
QString seventeenDigits(QRandomGenerator &random)
{
    QStringList pieces;
    for (int i = 0; i < kOrder * (kOrder + 1); ++i) {
        QString mantissa = QString::number(1 + random.bounded(9)) + u'.';
        for (int d = 0; d < 16; ++d)
            mantissa += QString::number(random.bounded(10));
        const int exponent = int(random.bounded(601)) - 300;
        pieces << QStringLiteral("%1%2E%3").arg(random.bounded(2) ? QStringLiteral("-") : QString(),
                                                mantissa, QString::number(exponent));
    }
    return pieces.join(u' ');
}

SolveRecord recordOf(const QString &text)
{
    Workspace ws;
    ws.resize(kOrder);
    (void)fillFromText(ws, kOrder, text, QLocale::c());
    return solve(ws, QLocale::c()).record;
}

// From the solve's record to the window shown and laid out, as
// "Подробный отчет" does it.
Timing timeReport(ReportWindow &window, const std::vector<SolveRecord> &records)
{
    std::size_t next = 0;
    return timeBatches(int(records.size()), 1, [&](int) {
        window.setReport(buildReport(records[next++ % records.size()]));
        window.show();
        QCoreApplication::processEvents();
        (void)window.grab(); // lays the document out and paints it
    });
}

} // namespace

bool benchReport(const QString &program)
{
    QProcess child;
    prepareChild(child, program, {QString::fromLatin1(reportChildOption)}, QDir::currentPath());
    child.start();
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        std::fprintf(stderr, "report child failed\n");
        return false;
    }
    std::fputs(child.readAllStandardOutput().constData(), stdout);
    return true;
}

int reportChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BoxMessages messages;
    ReportWindow window(messages, QLocale(QLocale::Russian, QLocale::Russia));

    RandomSource digits;
    QRandomGenerator random(17);
    std::vector<SolveRecord> small, large;
    for (int i = 0; i < 11; ++i) {
        small.push_back(recordOf(randomContents(digits, kOrder)));
        large.push_back(recordOf(seventeenDigits(random)));
    }
    report("report built and shown, order 10, RND digits", timeReport(window, small));
    report("report built and shown, order 10, 17 digits", timeReport(window, large));
    // What "Копировать" writes out, every fraction whole.
    qsizetype characters = 0;
    report("plain text to copy, order 10, 17 digits",
           timeBatches(5, 1, [&](int) { characters = window.plainText().size(); }));
    std::printf("%-44s %10lld characters\n", "  of which the last", static_cast<long long>(characters));
    return 0;
}

} // namespace ravno::bench
