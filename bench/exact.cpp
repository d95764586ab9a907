// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/exact.h"

#include "bench/reference.h"
#include "core/text/arraytext.h"
#include "core/exact/exactelimination.h"
#include "core/exact/exactnumber.h"
#include "core/exact/solver.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <ctime>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace ravno::bench {
namespace {

// A number of 17 significant digits, d.dddddddddddddddd x 10^(-300..300).
double hardNumber(std::mt19937_64 &engine)
{
    std::string text = std::uniform_int_distribution<int>(0, 1)(engine) ? "-" : "";
    text += char('1' + std::uniform_int_distribution<int>(0, 8)(engine));
    text += '.';
    for (int i = 0; i < 16; ++i)
        text += char('0' + std::uniform_int_distribution<int>(0, 9)(engine));
    text += 'e' + std::to_string(std::uniform_int_distribution<int>(-300, 300)(engine));
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// CPU time of this thread: on a shared machine the wall clock also counts
// the time other programs ran.
double threadMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// One kind of system in the comparison with the reference: its order, how
// its entries are drawn, and how many solves make one timed batch.
struct Kind
{
    const char *name;
    int order;
    double (*entry)(std::mt19937_64 &);
    int repeats;
};

double digit(std::mt19937_64 &engine)
{
    return std::uniform_int_distribution<int>(0, 9)(engine);
}

double smallInteger(std::mt19937_64 &engine)
{
    return std::uniform_int_distribution<int>(-99, 99)(engine);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::size_t bits(const mpz_class &value)
{
    return mpz_sizeinbase(value.get_mpz_t(), 2);
}

} // namespace

bool benchAgainstReference(int systems)
{
    const Kind kinds[] = {
        {"order 10, digits 0-9", 10, digit, 20},
        {"order 10, integers -99..99", 10, smallInteger, 20},
        {"order 10, 17 digits, exp -300..300", 10, hardNumber, 1},
        {"order 5, digits 0-9", 5, digit, 50},
        {"order 5, integers -99..99", 5, smallInteger, 50},
        {"order 5, 17 digits, exp -300..300", 5, hardNumber, 4},
    };
    const bool reference = ReferenceSolve::available();
    std::printf("exact solve against FLINT, CPU time per solve, medians of %d systems a kind,\n"
                "taking turns system by system\n",
                systems);
    if (!reference)
        std::printf("  (built without FLINT: Ravno's side alone)\n");
    std::printf("%-36s %11s %11s %11s %8s %8s\n", "kind", "Ravno", "FLINT ff", "FLINT solve",
                "/ff", "/solve");
    std::mt19937_64 engine(32);
    const QLocale locale(QLocale::Russian, QLocale::Russia);
    for (const Kind &kind : kinds) {
        const int n = kind.order;
        std::vector<double> ours, fractionFree, general;
        for (int s = 0; s < systems; ++s) {
            Workspace ws;
            ws.resize(n);
            ExactMatrix exact(std::size_t(n), std::vector<mpq_class>(std::size_t(n + 1)));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j <= n; ++j) {
                    ws.set(i, j, kind.entry(engine));
                    exact[std::size_t(i)][std::size_t(j)] = exactValue(ws.at(i, j));
                }
            ReferenceSolve flint(exact);
            std::vector<Workspace> copies(std::size_t(kind.repeats), ws);
            // Whose turn comes first moves round from system to system.
            for (int turn = 0; turn < 3; ++turn) {
                const int who = (turn + s) % 3;
                if (who > 0 && !reference)
                    continue;
                const double start = threadMs();
                if (who == 0)
                    for (Workspace &copy : copies)
                        (void)solve(copy, locale);
                else
                    (void)flint.run(who == 1 ? ReferenceSolve::Method::FractionFree
                                             : ReferenceSolve::Method::Default,
                                    kind.repeats);
                const double perSolve = (threadMs() - start) * 1e3 / kind.repeats;
                (who == 0 ? ours : who == 1 ? fractionFree : general).push_back(perSolve);
            }
        }
        const double mine = median(ours);
        if (!reference) {
            std::printf("%-36s %8.1f us\n", kind.name, mine);
            continue;
        }
        const double ff = median(fractionFree), plain = median(general);
        std::printf("%-36s %8.1f us %8.1f us %8.1f us %8.2f %8.2f\n", kind.name, mine, ff, plain,
                    mine / ff, mine / plain);
    }
    return true;
}

bool benchExact(int systems)
{
    constexpr int n = 10;
    std::mt19937_64 engine(2026);
    std::vector<double> perSolve, cpuPerSolve;
    std::size_t inputBits = 0, recordBits = 0;
    for (int s = 0; s < systems; ++s) {
        Workspace ws;
        ws.resize(n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j <= n; ++j)
                ws.set(i, j, hardNumber(engine));

        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadMs();
        const SolveResult result = solve(ws, QLocale::c());
        cpuPerSolve.push_back(threadMs() - cpuStart);
        perSolve.push_back(double(timer.nsecsElapsed()) / 1e6);

        // The inputs as the solver scales them: each row over its own
        // power of ten.
        for (const mpz_class &value : result.record.system.bigValues())
            inputBits = std::max(inputBits, bits(value));
        for (const EliminationStep &step : eliminationSteps(result.record))
            for (const auto &row : step.after.matrix())
                for (const mpq_class &value : row)
                    recordBits = std::max({recordBits, bits(value.get_num()), bits(value.get_den())});
        for (const mpq_class &value : result.record.answers())
            recordBits = std::max({recordBits, bits(value.get_num()), bits(value.get_den())});
    }
    std::sort(perSolve.begin(), perSolve.end());
    std::sort(cpuPerSolve.begin(), cpuPerSolve.end());
    const double median = perSolve[perSolve.size() / 2];
    const double slowest = perSolve.back();
    std::printf("%-44s %10.4f ms median %10.4f ms slowest %7d runs\n",
                "solve, order 10, 17 digits, exp -300..300", median, slowest, systems);
    std::printf("%-44s %10.4f ms median %10.4f ms slowest\n", "  the same in CPU time",
                cpuPerSolve[cpuPerSolve.size() / 2], cpuPerSolve.back());
    std::printf("  largest input over its row's denominator: %zu bits;"
                " largest numerator or denominator in the steps: %zu bits\n",
                inputBits, recordBits);
    std::printf("  (all %d solves: %.1f s)\n", systems, std::accumulate(perSolve.begin(), perSolve.end(), 0.0) / 1e3);
    // The bound holds for the work itself; on a busy machine the wall clock
    // also counts the other programs.
    if (cpuPerSolve.back() > 100)
        std::fprintf(stderr, "a solve took more than 100 ms\n");
    return cpuPerSolve.back() <= 100;
}

namespace {

// The Hilbert matrix of order 10, b the row sums, as the array text: in
// fractions, or each value as its 17 significant digits.
QString hilbertText(bool decimals)
{
    QStringList pieces;
    for (int i = 1; i <= 10; ++i) {
        mpq_class sum = 0;
        for (int j = 1; j <= 11; ++j) {
            const mpq_class h = j <= 10 ? mpq_class(1, i + j - 1) : sum;
            sum += h;
            pieces << (decimals ? QString::number(h.get_d(), 'g', 17) : QString::fromStdString(h.get_str()));
        }
    }
    return pieces.join(u' ');
}

} // namespace

bool benchHilbert(int systems)
{
    constexpr int n = 10;
    const QLocale locale(QLocale::Russian, QLocale::Russia);
    const QString texts[] = {hilbertText(false), hilbertText(true)};
    std::mt19937_64 engine(38);
    std::vector<double> times[3];
    for (int s = 0; s < systems; ++s) {
        QStringList random;
        for (int k = 0; k < n * (n + 1); ++k)
            random << QString::number(hardNumber(engine), 'g', 17);
        const QString text[] = {texts[0], texts[1], random.join(u' ')};
        for (int turn = 0; turn < 3; ++turn) {
            const int who = (turn + s) % 3;
            Workspace ws;
            const double start = threadMs();
            (void)fillFromText(ws, n, text[who], locale);
            const SolveResult result = solve(ws, locale);
            times[who].push_back((threadMs() - start) * 1e3);
            if (who == 0 && result.answerLine != QStringLiteral("1,000  ").repeated(n)) {
                std::fprintf(stderr, "the Hilbert system in fractions solved wrong\n");
                return false;
            }
        }
    }
    const double fractions = median(times[0]), hilbertDecimals = median(times[1]),
                 randomDecimals = median(times[2]);
    std::printf("fill and solve, order 10, CPU medians of %d systems a kind, taking turns\n", systems);
    std::printf("%-44s %10.1f us\n", "Hilbert in fractions, b the row sums", fractions);
    std::printf("%-44s %10.1f us, fractions / this %.2f\n", "  the same in 17-digit decimals", hilbertDecimals,
                fractions / hilbertDecimals);
    std::printf("%-44s %10.1f us, fractions / this %.2f\n", "  17 digits, exp -300..300", randomDecimals,
                fractions / randomDecimals);
    return true;
}

} // namespace ravno::bench
