// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exact/exactelimination.h"
#include "core/exact/exactnumber.h"
#include "core/report/report.h"
#include "core/exact/solver.h"

#include <QTest>

#include <cmath>
#include <random>
#include <utility>

using namespace ravno;

namespace {

Workspace system(int n, const QList<double> &rowMajor)
{
    Workspace ws;
    ws.resize(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j)
            ws.set(i, j, rowMajor.at(i * (n + 1) + j));
    return ws;
}

} // namespace

using Outcome = SolveResult::Outcome;

class TestSolver : public QObject
{
    Q_OBJECT
private slots:
    void solves_data();
    void solves();
    void workedExampleUnderRussianSettings();
    void secondSolveOfEliminatedMatrix();
    void singularLeavesOneTextAnswer();
    void overflowIsReportedInWords();
    void unloadedWorkspaceHasNoSolution();
    void workspaceShape();
    void orderTenMatchesSubstitution();
    void randomSystemsExactly();
};

void TestSolver::solves_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<double>>("rows");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("answerLine");
    QTest::addColumn<QString>("matrixText");

    QTest::newRow("worked example")
        << 2 << QList<double>{2, 1, 5, 1, 3, 10} << int(Outcome::Solved) << "1.000  3.000  "
        << "2.000  1.000  5.000  \r\n0.000  2.500  7.500  \r\n";
    QTest::newRow("larger entry below is the pivot")
        << 2 << QList<double>{1, 1, 2, 2, 1, 3} << int(Outcome::Solved) << "1.000  1.000  "
        << "2.000  1.000  3.000  \r\n0.000  0.500  0.500  \r\n";
    QTest::newRow("tie keeps the upper row")
        << 2 << QList<double>{-2, 1, 0, 2, 3, 8} << int(Outcome::Solved) << "1.000  2.000  "
        << "-2.000  1.000  0.000  \r\n0.000  4.000  8.000  \r\n";
    QTest::newRow("zero corner exchanges rows")
        << 2 << QList<double>{0, 1, 2, 3, 0, 6} << int(Outcome::Solved) << "2.000  2.000  "
        << "3.000  0.000  6.000  \r\n0.000  1.000  2.000  \r\n";
    QTest::newRow("negative and fractional answers")
        << 2 << QList<double>{4, 0, -2, 0, 8, 1} << int(Outcome::Solved) << "-0.500  0.125  "
        << "4.000  0.000  -2.000  \r\n0.000  8.000  1.000  \r\n";
    QTest::newRow("singular rows")
        << 2 << QList<double>{1, 1, 2, 2, 2, 4} << int(Outcome::NoUniqueSolution)
        << "Одного решения нет"
        << "2.000  2.000  4.000  \r\n0.000  0.000  0.000  \r\n";
    QTest::newRow("zero pivot column stops early")
        << 3 << QList<double>{0, 1, 1, 1, 0, 2, 1, 2, 0, 3, 3, 3} << int(Outcome::NoUniqueSolution)
        << "Одного решения нет"
        << "0.000  1.000  1.000  1.000  \r\n0.000  2.000  1.000  2.000  \r\n"
           "0.000  3.000  3.000  3.000  \r\n";
    // Rounding leaves a last pivot of about -7e-16 here: singular all the same.
    QTest::newRow("singular within rounding")
        << 4 << QList<double>{2, 7, -9, 5, -2, -2, -8, -4, -6, -9, 2, 6, -2, 3, -3, 10, 37, 1, 26, 4}
        << int(Outcome::NoUniqueSolution) << "Одного решения нет"
        << "10.000  37.000  1.000  26.000  4.000  \r\n0.000  -1.400  -2.200  -2.200  -3.800  \r\n"
           "0.000  0.000  -8.571  0.429  -1.714  \r\n0.000  0.000  0.000  0.000  -6.000  \r\n";
    QTest::newRow("rows scaled by 1e10 and 1e-10")
        << 2 << QList<double>{2e10, 1e10, 5e10, 1e-10, 3e-10, 1e-9} << int(Outcome::Solved)
        << "1.000  3.000  " << "20000000000.000  10000000000.000  50000000000.000  \r\n"
                              "0.000  0.000  0.000  \r\n";
    QTest::newRow("condition 4e11 is solved")
        << 2 << QList<double>{1, 1, 2, 1, 1 + 1e-11, 2 + 1e-11} << int(Outcome::Solved)
        << "1.000  1.000  " << "1.000  1.000  2.000  \r\n0.000  0.000  0.000  \r\n";
    QTest::newRow("three unknowns with exchanges")
        << 3 << QList<double>{1, 2, 3, 14, 2, 5, 2, 18, 3, 1, 5, 20} << int(Outcome::Solved)
        << "1.000  2.000  3.000  "
        << "3.000  1.000  5.000  20.000  \r\n0.000  4.333  -1.333  4.667  \r\n"
           "0.000  0.000  1.846  5.538  \r\n";
    // Rounding in doubles refused this one, overflowed in the next and
    // rounded the tie x1 = 4947/80 = 61.8375 down in the third.
    QTest::newRow("1e-15 apart is solved")
        << 2 << QList<double>{1, 1e-15, 1, 1, 2e-15, 2} << int(Outcome::Solved)
        << "0.000  1000000000000000.000  " << "1.000  0.000  1.000  \r\n0.000  0.000  1.000  \r\n";
    const QString e308 = QStringLiteral("1%1.000  ").arg(QString(308, u'0'));
    QTest::newRow("entries near the largest double")
        << 2 << QList<double>{1e308, 1e308, 1e308, 1e308, -1e308, 1} << int(Outcome::Solved)
        << "0.500  0.500  "
        << e308 + e308 + e308 + QStringLiteral("\r\n0.000  -бесконечность  -%1.000  \r\n")
                                     .arg(QString(308, u'9'));
    QTest::newRow("a tie in the third decimal")
        << 3
        << QList<double>{3000001, 8000000, -4000000, 67, 37000000, -95000000, -19000000, 42,
                         66000000, 10000000, -62000000, 95}
        << int(Outcome::Solved) << "61.838  10.577  67.533  "
        << "66000000.000  10000000.000  -62000000.000  95.000  \r\n"
           "0.000  -100606060.606  15757575.758  -11.258  \r\n0.000  0.000  0.916  61.837  \r\n";
    QTest::newRow("a negative tie rounds away from zero")
        << 2 << QList<double>{16, 0, -1, 0, 1, 0} << int(Outcome::Solved) << "-0.063  0.000  "
        << "16.000  0.000  -1.000  \r\n0.000  1.000  0.000  \r\n";
    // Whole numbers over their own row's denominator: a row of tenths
    // does not win the pivot by its larger integers.
    QTest::newRow("row scales do not pick the pivot")
        << 2 << QList<double>{0.5, 1, 2, 3, 1, 4} << int(Outcome::Solved) << "0.800  1.600  "
        << "3.000  1.000  4.000  \r\n0.000  0.833  1.333  \r\n";
    // The first column fits machine words, the second does not: the
    // elimination goes on in GMP integers from there.
    QTest::newRow("machine words overflow in the second column")
        << 3
        << QList<double>{2000000011, 1999999999, -2000000003, 1000000007, 1999999973, -2000000017,
                         1999999993, -999999989, -1999999979, 2000000021, 1999999997, 1500000001}
        << int(Outcome::Solved) << "0.000  0.625  0.125  "
        << "2000000011.000  1999999999.000  -2000000003.000  1000000007.000  \r\n"
           "0.000  3999999988.000  26.000  2499999992.000  \r\n"
           "0.000  0.000  3999999984.000  500000008.750  \r\n";
    QTest::newRow("above 2^53, two thirds of a thousandth")
        << 2 << QList<double>{3, 0, 6.000000000000002e16, 0, 1, 1} << int(Outcome::Solved)
        << "20000000000000006.667  1.000  " << "3.000  0.000  60000000000000020.000  \r\n0.000  1.000  1.000  \r\n";
    QTest::newRow("rounds to zero without a minus")
        << 2 << QList<double>{10000, 0, -4, 0, 1, 0} << int(Outcome::Solved) << "0.000  0.000  "
        << "10000.000  0.000  -4.000  \r\n0.000  1.000  0.000  \r\n";
}

void TestSolver::solves()
{
    QFETCH(int, n);
    QFETCH(QList<double>, rows);
    QFETCH(int, outcome);
    QFETCH(QString, answerLine);
    QFETCH(QString, matrixText);

    Workspace ws = system(n, rows);
    const SolveResult result = solve(ws, QLocale::c());
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.answerLine, answerLine);
    QCOMPARE(result.matrixText, matrixText);
}

void TestSolver::workedExampleUnderRussianSettings()
{
    Workspace ws = system(2, {2, 1, 5, 1, 3, 10});
    const SolveResult result = solve(ws, QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(result.answerLine, QStringLiteral("1,000  3,000  "));
    QCOMPARE(result.matrixText, QStringLiteral("2,000  1,000  5,000  \r\n0,000  2,500  7,500  \r\n"));
    QCOMPARE(ws.answers().size(), std::size_t(2));
    QCOMPARE(std::get<double>(ws.answers()[0]), 1.0);
    QCOMPARE(std::get<double>(ws.answers()[1]), 3.0);
}

void TestSolver::secondSolveOfEliminatedMatrix()
{
    // y = -0.3685 exactly; from the doubles of the eliminated matrix alone
    // a second solve gives -0.368.
    Workspace ws = system(2, {-2, -8, 6, 3, -8, -1.63});
    const SolveResult first = solve(ws, QLocale::c());
    const SolveResult second = solve(ws, QLocale::c());
    QCOMPARE(second.answerLine, QStringLiteral("-1.526  -0.369  "));
    QCOMPARE(second.matrixText, first.matrixText);

    // A write by the editor starts again from the doubles.
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j <= 2; ++j)
            ws.set(i, j, j == 2 ? i + 1 : double(i == j));
    QCOMPARE(solve(ws, QLocale::c()).answerLine, QStringLiteral("1.000  2.000  "));
}

void TestSolver::singularLeavesOneTextAnswer()
{
    Workspace ws = system(2, {1, 1, 2, 2, 2, 4});
    solve(ws, QLocale::c());
    QCOMPARE(ws.answers().size(), std::size_t(1));
    QCOMPARE(std::get<QString>(ws.answers()[0]), kNoUniqueSolution);
}

void TestSolver::overflowIsReportedInWords()
{
    // A tiny but non-zero pivot sends the unknowns beyond the double range.
    Workspace ws = system(2, {1e-300, 0, 1e300, 0, 1, 1});
    const SolveResult result = solve(ws, QLocale::c());
    QCOMPARE(int(result.outcome), int(Outcome::OutOfRange));
    QCOMPARE(result.answerLine, kOutOfRange);
    QVERIFY(!result.answerLine.contains(QStringLiteral("inf")));
    QVERIFY(result.matrixText.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(ws.answers().size(), std::size_t(1));
}

void TestSolver::unloadedWorkspaceHasNoSolution()
{
    Workspace ws;
    ws.unload();
    const SolveResult result = solve(ws, QLocale::c());
    QCOMPARE(int(result.outcome), int(Outcome::NoUniqueSolution));
    QCOMPARE(result.answerLine, kNoUniqueSolution);
    QCOMPARE(result.matrixText, QString());

    Workspace never;
    QCOMPARE(int(solve(never, QLocale::c()).outcome), int(Outcome::NoUniqueSolution));
}

void TestSolver::workspaceShape()
{
    Workspace ws;
    QVERIFY(!ws.isAllocated());
    ws.resize(4);
    QCOMPARE(ws.order(), 4);
    QCOMPARE(ws.rowCount(), 4);
    QCOMPARE(ws.columnCount(), 5);
    QCOMPARE(ws.answers().size(), std::size_t(4));
    QVERIFY(std::holds_alternative<std::monostate>(ws.answers()[3]));
    ws.set(3, 4, 7);
    ws.resize(4);
    QCOMPARE(ws.at(3, 4), 0.0);

    ws.unload();
    QCOMPARE(ws.order(), 0);
    QCOMPARE(ws.rowCount(), 1);
    QCOMPARE(ws.auxiliary(), std::vector<double>{0.0});
    QCOMPARE(ws.answers().size(), std::size_t(1));
    QCOMPARE(std::get<QString>(ws.answers()[0]), QString());
}

void TestSolver::orderTenMatchesSubstitution()
{
    // A well-conditioned system with known unknowns 1..10.
    const int n = 10;
    Workspace ws;
    ws.resize(n);
    for (int i = 0; i < n; ++i) {
        double rhs = 0;
        for (int j = 0; j < n; ++j) {
            const double a = (i == j) ? 20.0 : double((i * 7 + j * 3) % 5);
            ws.set(i, j, a);
            rhs += a * (j + 1);
        }
        ws.set(i, n, rhs);
    }
    const SolveResult result = solve(ws, QLocale::c());
    QCOMPARE(result.answerLine, QStringLiteral("1.000  2.000  3.000  4.000  5.000  6.000  7.000  "
                                               "8.000  9.000  10.000  "));
    QCOMPARE(result.matrixText.count(QStringLiteral("\r\n")), 10);
}

template<class Int>
std::vector<Int> plusDenominator(std::vector<Int> values, const std::vector<Int> &denominators, int j)
{
    values[std::size_t(j)] += denominators[std::size_t(j)];
    return values;
}

void TestSolver::randomSystemsExactly()
{
    // Random systems of the kinds a person enters: multiplied back in
    // rationals the exact answers give the right-hand side, and the record
    // replays step by step. Products of an n x r and an r x n integer
    // matrix (rank r < n) are refused.
    std::mt19937 random(13);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto decimal = [&] { return uniform(-999999, 999999) / std::pow(10.0, uniform(0, 6)); };
    // Entries in [2^31, 2^32): their products pass 2^63 in the first column.
    const auto large = [&] {
        return double(std::uniform_int_distribution<std::int64_t>(1LL << 31, (1LL << 32) - 1)(random))
            * (uniform(0, 1) ? 1 : -1);
    };
    for (int n = 2; n <= 10; ++n) {
        for (int made = 0; made < 200; ++made) {
            const int r = made % 2 ? uniform(1, n - 1) : n;
            std::vector<std::vector<int>> left(n, std::vector<int>(r)), right(r, std::vector<int>(n));
            for (auto *factor : {&left, &right})
                for (auto &row : *factor)
                    for (int &value : row)
                        value = uniform(-9, 9);
            Workspace ws;
            ws.resize(n);
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j) {
                    int product = 0;
                    for (int k = 0; k < r; ++k)
                        product += left[i][k] * right[k][j];
                    ws.set(i, j, r == n && made % 4 == 2 ? decimal() : r == n && made % 8 == 4 ? large() : double(product));
                }
                ws.set(i, n, r == n && made % 8 == 4 ? large() : decimal());
            }
            const SolveResult result = solve(ws, QLocale::c(), made % 3 == 0);
            const SolveRecord &record = result.record;
            const QByteArray where = QStringLiteral("order %1, system %2").arg(n).arg(made).toUtf8();
            const ExactMatrix before = record.before();
            const std::vector<mpq_class> answers = record.answers();
            ExactMatrix replay = before;
            ExactMatrix last = before;
            for (const EliminationStep &step : record.steps ? *record.steps : eliminationSteps(record)) {
                const int k = step.column;
                const ReportStep done{step, k};
                std::swap(replay[k], replay[step.pivotRow]);
                QVERIFY2(stepPivot(last, done) == replay[k][k], where);
                for (int row = k + 1; row < n; ++row) {
                    const mpq_class multiplier = stepMultiplier(last, done, row);
                    for (int j = 0; j <= n; ++j)
                        replay[row][j] -= multiplier * replay[k][j];
                }
                last = step.after.matrix();
                QVERIFY2(replay == last, where);
            }
            QVERIFY2(replay == record.eliminated(), where);
            if (r < n) {
                QVERIFY2(result.outcome == Outcome::NoUniqueSolution, where);
                continue;
            }
            if (result.outcome != Outcome::Solved)
                continue; // a random square matrix may be singular too
            // The check in whole numbers agrees with the one in fractions,
            // with x(j) one too large.
            const int j = made % n;
            const ExactRows &x = record.solution;
            const ExactRows wrong = x.inWords()
                ? ExactRows(1, plusDenominator(x.smallValues(), x.smallDenominators(), j), x.smallDenominators())
                : ExactRows(1, plusDenominator(x.bigValues(), x.bigDenominators(), j), x.bigDenominators());
            std::vector<int> failing;
            for (int i = 0; i < n; ++i)
                if (before[i][j] != 0)
                    failing.push_back(i);
            QVERIFY2(failingEquations(record.system, x).empty() && failingEquations(record.system, wrong) == failing,
                     where);
            for (int i = 0; i < n; ++i) {
                mpq_class sum = 0;
                for (int j = 0; j < n; ++j)
                    sum += before[i][j] * answers[j];
                QVERIFY2(sum == before[i][n], where);
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestSolver)
#include "tst_solver.moc"
