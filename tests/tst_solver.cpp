// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/singularity.h"
#include "core/solver.h"

#include <Eigen/QR>
#include <Eigen/SVD>

#include <QTest>

#include <cmath>
#include <random>

using namespace ravno;

namespace {

Workspace system(int n, const QList<double> &rowMajor)
{
    Workspace ws;
    ws.resize(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j)
            ws.at(i, j) = rowMajor.at(i * (n + 1) + j);
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
    void singularWithinRounding();
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
    Workspace ws = system(3, {1, 2, 3, 14, 2, 5, 2, 18, 3, 1, 5, 20});
    const SolveResult first = solve(ws, QLocale::c());
    const SolveResult second = solve(ws, QLocale::c());
    QCOMPARE(second.answerLine, first.answerLine);
    QCOMPARE(second.matrixText, first.matrixText);
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
    ws.at(3, 4) = 7;
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
            ws.at(i, j) = a;
            rhs += a * (j + 1);
        }
        ws.at(i, n) = rhs;
    }
    const SolveResult result = solve(ws, QLocale::c());
    QCOMPARE(result.answerLine, QStringLiteral("1.000  2.000  3.000  4.000  5.000  6.000  7.000  "
                                               "8.000  9.000  10.000  "));
    QCOMPARE(result.matrixText.count(QStringLiteral("\r\n")), 10);
}

void TestSolver::singularWithinRounding()
{
    // Exactly singular integer systems, coefficients -99..99: a product of an
    // n x r and an r x n integer matrix has rank at most r < n.
    std::mt19937 random(13);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto integers = [&](int rows, int columns, int bound) -> Eigen::MatrixXi {
        return Eigen::MatrixXi::NullaryExpr(rows, columns, [&] { return uniform(-bound, bound); });
    };
    for (int n = 2; n <= 10; ++n) {
        for (int made = 0; made < 300;) {
            const int r = uniform(1, n - 1);
            const Eigen::MatrixXi left = integers(n, r, 3);
            const Eigen::MatrixXi right = integers(r, n, 9);
            const Eigen::MatrixXi product = left * right;
            if (product.cwiseAbs().maxCoeff() > 99)
                continue;
            ++made;
            Workspace ws;
            ws.resize(n);
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j)
                    ws.at(i, j) = product(i, j);
                ws.at(i, n) = uniform(-99, 99);
            }
            const SolveResult result = solve(ws, QLocale::c());
            QVERIFY2(result.outcome == Outcome::NoUniqueSolution,
                     qPrintable(QStringLiteral("order %1: %2").arg(n).arg(result.answerLine)));
        }
    }

    // Condition numbers up to 1e12 (U diag V^T, U and V random rotations),
    // rows then scaled by 1e-10..1e10: always solved.
    std::normal_distribution<double> normal;
    std::uniform_real_distribution<double> exponent(-10, 10);
    for (int n = 2; n <= 10; ++n) {
        for (int made = 0; made < 300; ++made) {
            const auto rotation = [&] {
                const Eigen::MatrixXd gauss =
                    Eigen::MatrixXd::NullaryExpr(n, n, [&] { return normal(random); });
                return Eigen::MatrixXd(Eigen::HouseholderQR<Eigen::MatrixXd>(gauss).householderQ());
            };
            const double condition = std::pow(10.0, 12 * made / 299.0) * 0.99;
            Eigen::VectorXd values = Eigen::VectorXd::LinSpaced(n, 0, -std::log10(condition));
            values = values.unaryExpr([](double e) { return std::pow(10.0, e); });
            const Eigen::MatrixXd a = rotation() * values.asDiagonal() * rotation().transpose();
            const Eigen::VectorXd sv = Eigen::JacobiSVD<Eigen::MatrixXd>(a).singularValues();
            QVERIFY(sv(0) / sv(n - 1) < 1e12);
            Workspace ws;
            ws.resize(n);
            for (int i = 0; i < n; ++i) {
                const double scale = std::pow(10.0, exponent(random));
                for (int j = 0; j <= n; ++j)
                    ws.at(i, j) = (j < n ? a(i, j) : normal(random)) * scale;
            }
            const SolveResult result = solve(ws, QLocale::c());
            QVERIFY2(result.outcome == Outcome::Solved,
                     qPrintable(QStringLiteral("order %1, condition %2").arg(n).arg(condition)));
        }
    }
}

QTEST_APPLESS_MAIN(TestSolver)
#include "tst_solver.moc"
