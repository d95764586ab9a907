// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/reportbench.h"

#include "bench/sections.h"
#include "bench/timing.h"
#include "core/text/arraytext.h"
#include "core/randomdigits.h"
#include "core/report/report.h"
#include "core/report/reporttext.h"
#include "core/report/methods/determinant.h"
#include "core/report/methods/freerows.h"
#include "core/exact/solver.h"
#include "ui/common/messages.h"
#include "ui/report/reportwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextBrowser>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <utility>

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

Workspace systemOf(const QString &text)
{
    Workspace ws;
    ws.resize(kOrder);
    (void)fillFromText(ws, kOrder, text, QLocale::c());
    return ws;
}

SolveRecord recordOf(const QString &text)
{
    Workspace ws = systemOf(text);
    return solve(ws, QLocale::c()).record;
}

double threadMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// `model`, given the solve's record, against the solve itself, taking
// turns on the same systems, in CPU time. With `recording` the solve
// records its steps, as it does while the report window is open; without,
// the model runs the elimination again.
template<typename Model>
void againstSolve(const char *what, const std::vector<QString> &texts, bool recording, Model model)
{
    std::vector<double> solving, modelling;
    for (int round = 0; round < 5; ++round) {
        for (const QString &text : texts) {
            Workspace ws = systemOf(text);
            double start = threadMs();
            const SolveResult result = solve(ws, QLocale::c(), recording);
            solving.push_back(threadMs() - start);
            start = threadMs();
            model(result.record);
            modelling.push_back(threadMs() - start);
        }
    }
    const double s = median(solving), m = median(modelling);
    std::printf("%-44s %10.4f ms median, the solve %.4f ms: %.2f times\n", what, m, s, m / s);
}

// The report's model (buildReport from the solve's record).
void modelAgainstSolve(const char *what, const std::vector<QString> &texts, bool recording)
{
    againstSolve(what, texts, recording, [](const SolveRecord &record) { (void)buildReport(record); });
}

// A method's working in exact arithmetic, as its report does it, nothing
// written: Gauss–Jordan of [A | b] and of [A | E] to the reduced form (the
// Cramer's determinants (each Δi / Δ is the solve's answer).
void work(const Report &report, Method method)
{
    const int n = report.order;
    if (method == Method::Cramer) {
        (void)cramerDeterminants(report.system, report.pivot);
        return;
    }
    if (method != Method::GaussJordan && method != Method::Inverse)
        return;
    FreeRows rows(report.system, method == Method::Inverse ? n : n + 1, method == Method::Inverse);
    for (int column = 0, row = 0; column < n; ++column) {
        const int found = rows.pivotRow(column, row, report.pivot);
        if (found < 0)
            continue;
        rows.exchange(row, found);
        rows.clearAround(row++, column);
    }
}

// A method's model (the report from the solve's record, and the method's
// own working) against the solve that recorded it; with `blocks`, its
// report blocks, every value written as the window shows it.
void methodAgainstSolve(const char *what, const std::vector<QString> &texts, Method method, bool blocks)
{
    const QLocale locale(QLocale::Russian, QLocale::Russia);
    againstSolve(what, texts, true, [&](const SolveRecord &record) {
        const Report report = buildReport(record);
        if (blocks)
            (void)reportBlocks(report, locale, Length::Short, method);
        else
            work(report, method);
    });
}

// From the solve's record to the window shown and laid out, as
// "Подробный отчет" does it: a long report its first screenful, the rest
// held and then timed apart (`wholeMedian`, in CPU time), until the view
// holds it all and is painted again.
// The CPU time of the same beside it: on a shared machine the wall clock
// also counts the other programs.
Timing timeReport(ReportWindow &window, std::function<void()> &rest, const std::vector<SolveRecord> &records,
                  double &cpuMedian, double &wholeMedian)
{
    std::vector<double> wall, cpu, whole;
    for (const SolveRecord &record : records) {
        QElapsedTimer clock;
        clock.start();
        double start = threadMs();
        window.setReport(buildReport(record));
        window.show();
        QCoreApplication::processEvents();
        (void)window.grab(); // lays the document out and paints it
        cpu.push_back(threadMs() - start);
        wall.push_back(double(clock.nsecsElapsed()) / 1e6);
        start = threadMs();
        if (rest)
            std::exchange(rest, {})();
        QCoreApplication::processEvents();
        (void)window.grab();
        whole.push_back(threadMs() - start);
    }
    cpuMedian = median(cpu);
    wholeMedian = median(whole);
    return {median(wall), *std::min_element(wall.begin(), wall.end()), int(wall.size())};
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
    // The rest of a long report, held: timed apart.
    std::function<void()> rest;
    window.pace = [&rest](std::function<void()> held) { rest = std::move(held); };

    RandomSource digits;
    QRandomGenerator random(17);
    std::vector<QString> smallTexts, largeTexts;
    std::vector<SolveRecord> small, large;
    for (int i = 0; i < 11; ++i) {
        smallTexts.push_back(randomContents(digits, kOrder));
        largeTexts.push_back(seventeenDigits(random));
        small.push_back(recordOf(smallTexts.back()));
        large.push_back(recordOf(largeTexts.back()));
    }
    modelAgainstSolve("report model, order 10, RND digits", smallTexts, true);
    modelAgainstSolve("  the same, the elimination run again", smallTexts, false);
    modelAgainstSolve("report model, order 10, 17 digits", largeTexts, true);
    modelAgainstSolve("  the same, the elimination run again", largeTexts, false);
    const std::pair<Method, const char *> models[] = {{Method::Gauss, "Gauss"},
                                                      {Method::GaussJordan, "Gauss-Jordan"},
                                                      {Method::Cramer, "Cramer"},
                                                      {Method::Inverse, "inverse matrix"}};
    for (const auto &[method, name] : models) {
        for (const bool blocks : {false, true}) {
            const QString kind = QLatin1String(name) + (blocks ? QStringLiteral(" blocks") : QStringLiteral(" model"));
            methodAgainstSolve(qPrintable(QStringLiteral("%1, order 10, RND digits").arg(kind)), smallTexts,
                               method, blocks);
            methodAgainstSolve(qPrintable(QStringLiteral("%1, order 10, 17 digits").arg(kind)), largeTexts,
                               method, blocks);
        }
    }
    double cpu = 0, whole = 0;
    const auto cpuLines = [&] {
        std::printf("%-44s %10.4f ms median\n", "  the same in CPU time", cpu);
        std::printf("%-44s %10.4f ms median\n", "  then the rest of it (CPU)", whole);
    };
    report("report built and shown, order 10, RND digits", timeReport(window, rest, small, cpu, whole));
    cpuLines();
    report("report built and shown, order 10, 17 digits", timeReport(window, rest, large, cpu, whole));
    cpuLines();
    // The same by each other method, chosen in the window's «Метод».
    const std::pair<Method, const char *> methods[] = {
        {Method::GaussJordan, "Gauss-Jordan"}, {Method::Cramer, "Cramer"}, {Method::Inverse, "inverse matrix"}};
    for (const auto &[method, name] : methods) {
        window.findChild<QComboBox *>(QStringLiteral("method"))->setCurrentIndex(int(method));
        report(qPrintable(QStringLiteral("%1 shown, order 10, RND digits").arg(QLatin1String(name))),
               timeReport(window, rest, small, cpu, whole));
        cpuLines();
        report(qPrintable(QStringLiteral("%1 shown, order 10, 17 digits").arg(QLatin1String(name))),
               timeReport(window, rest, large, cpu, whole));
        cpuLines();
    }
    window.findChild<QComboBox *>(QStringLiteral("method"))->setCurrentIndex(int(Method::Gauss));
    // What "Копировать" writes out, every fraction whole: written once for
    // a report and then kept, so the title line is set anew each time.
    qsizetype characters = 0;
    report("plain text to copy, order 10, 17 digits", timeBatches(5, 1, [&](int) {
               window.setEdited(false);
               characters = window.plainText().size();
           }));
    std::printf("%-44s %10lld characters\n", "  of which the last", static_cast<long long>(characters));
    return 0;
}

} // namespace ravno::bench
