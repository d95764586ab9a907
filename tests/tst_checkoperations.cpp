// SPDX-License-Identifier: GPL-3.0-or-later
// The student's row operations: every written form read to the operation
// it means, every refusal with its reason and place, a walk to the
// identity with its verdicts, undo and redo, and random valid steps that
// keep the solution set.
#include "core/check/checksession.h"
#include "core/check/checktext.h"

#include <QRandomGenerator>
#include <QTest>

using namespace ravno;

Q_DECLARE_METATYPE(RowOperation::Kind)
Q_DECLARE_METATYPE(OperationRefusal)
Q_DECLARE_METATYPE(MatrixShape)

namespace {

ExactMatrix matrixOf(int order, std::initializer_list<long> values)
{
    ExactMatrix m(std::size_t(order), std::vector<mpq_class>(std::size_t(order + 1)));
    auto it = values.begin();
    for (auto &row : m)
        for (mpq_class &v : row)
            v = *it++;
    return m;
}

// The reduced echelon form of the augmented matrix, worked out here with
// no help from the code under test: two systems have the same solutions
// exactly when their forms agree.
ExactMatrix reduced(ExactMatrix m)
{
    const std::size_t rows = m.size(), columns = m.front().size();
    std::size_t lead = 0;
    for (std::size_t c = 0; c < columns && lead < rows; ++c) {
        std::size_t p = lead;
        while (p < rows && m[p][c] == 0)
            ++p;
        if (p == rows)
            continue;
        std::swap(m[p], m[lead]);
        const mpq_class pivot = m[lead][c];
        for (mpq_class &v : m[lead])
            v /= pivot;
        for (std::size_t i = 0; i < rows; ++i)
            if (i != lead && m[i][c] != 0) {
                const mpq_class f = m[i][c];
                for (std::size_t j = 0; j < columns; ++j)
                    m[i][j] -= f * m[lead][j];
            }
        ++lead;
    }
    return m;
}

} // namespace

class TestCheckOperations : public QObject
{
    Q_OBJECT
private slots:
    void forms_data();
    void forms();
    void refusals_data();
    void refusals();
    void shapes_data();
    void shapes();
    void walkToTheIdentity();
    void undoAndRedo();
    void randomStepsKeepTheSolutions();
    void formulasReadBack();
};

void TestCheckOperations::forms_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<RowOperation::Kind>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("other");
    QTest::addColumn<QString>("factor");
    QTest::addColumn<QString>("multiple");
    QTest::addColumn<bool>("divides");
    using K = RowOperation::Kind;
    QTest::newRow("fraction times a row") << "R2 - 1/2 R1" << K::Combine << 1 << 0 << "1" << "-1/2" << false;
    QTest::newRow("whole number against the row") << "R2 + 3R1" << K::Combine << 1 << 0 << "1" << "3" << false;
    QTest::newRow("fraction in brackets, middle dot") << "R2 - (2/3)·R1" << K::Combine << 1 << 0 << "1" << "-2/3" << false;
    QTest::newRow("assigned") << "R2 = R2 - 1/2 R1" << K::Combine << 1 << 0 << "1" << "-1/2" << false;
    QTest::newRow("combined step") << "2R2 - 3R1" << K::Combine << 1 << 0 << "2" << "-3" << false;
    QTest::newRow("assigned, other row first") << "r3 = R1 - r3" << K::Combine << 2 << 0 << "-1" << "1" << false;
    QTest::newRow("exchange, arrow") << "R1 <-> R3" << K::Exchange << 0 << 2 << "1" << "0" << false;
    QTest::newRow("exchange, sign") << "R1 ↔ R3" << K::Exchange << 0 << 2 << "1" << "0" << false;
    QTest::newRow("scale") << "R2 * 3" << K::Scale << 1 << 1 << "3" << "0" << false;
    QTest::newRow("divide by a negative") << "R2 / -2" << K::Scale << 1 << 1 << "-1/2" << "0" << true;
    QTest::newRow("scale in front, assigned") << "R2 = 3R2" << K::Scale << 1 << 1 << "3" << "0" << false;
    QTest::newRow("Cyrillic letters") << "С2 - 1/2 с1" << K::Combine << 1 << 0 << "1" << "-1/2" << false;
    QTest::newRow("Latin C") << "C2 + c1" << K::Combine << 1 << 0 << "1" << "1" << false;
    QTest::newRow("numbers in brackets") << "(2) - 1/2·(1)" << K::Combine << 1 << 0 << "1" << "-1/2" << false;
    QTest::newRow("bracketed row times") << "(3) * 3" << K::Scale << 2 << 2 << "3" << "0" << false;
    QTest::newRow("decimal point") << "R2 - 0.5R1" << K::Combine << 1 << 0 << "1" << "-1/2" << false;
    QTest::newRow("decimal comma") << "R2 - 1,25 R1" << K::Combine << 1 << 0 << "1" << "-5/4" << false;
    QTest::newRow("decimal fraction") << "R2 + 1,5/4 R1" << K::Combine << 1 << 0 << "1" << "3/8" << false;
    QTest::newRow("leading zeros, not octal") << "R2 - 09,50 R1" << K::Combine << 1 << 0 << "1" << "-19/2" << false;
    QTest::newRow("typographic minus") << "R2 − 2R1" << K::Combine << 1 << 0 << "1" << "-2" << false;
    QTest::newRow("minus in the bracket") << "R2 + (−2/3)*R1" << K::Combine << 1 << 0 << "1" << "-2/3" << false;
    QTest::newRow("no blanks") << "R10-3R9" << K::Combine << 9 << 8 << "1" << "-3" << false;
    QTest::newRow("blanks everywhere") << "  R 2  =  R 2 -  1 / 2 · R 1  " << K::Combine << 1 << 0 << "1" << "-1/2"
                                      << false;
    QTest::newRow("factor after the other row") << "R2 - R1 * 2" << K::Combine << 1 << 0 << "1" << "-2" << false;
}

void TestCheckOperations::forms()
{
    QFETCH(QString, line);
    QFETCH(RowOperation::Kind, kind);
    const ParsedOperation parsed = parseOperation(line, 10);
    QVERIFY2(parsed.ok(), qPrintable(QString::number(int(parsed.refusal)) + u' ' + QString::number(parsed.at)));
    const RowOperation &op = parsed.operation;
    QCOMPARE(op.kind, kind);
    QTEST(op.row, "row");
    QTEST(op.other, "other");
    QTEST(QString::fromStdString(op.factor.get_str()), "factor");
    QTEST(QString::fromStdString(op.multiple.get_str()), "multiple");
    QTEST(op.divides, "divides");
}

void TestCheckOperations::refusals_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<OperationRefusal>("refusal");
    QTest::addColumn<int>("at");
    QTest::addColumn<long long>("typedRow");
    using R = OperationRefusal;
    QTest::newRow("multiplied by 0") << "R2 * 0" << R::ZeroFactor << 0 << 0LL;
    QTest::newRow("combined with 0 on its own row") << "0R2 + R1" << R::ZeroFactor << 0 << 0LL;
    QTest::newRow("replaced by another row") << "R2 = R1" << R::ZeroFactor << 0 << 0LL;
    QTest::newRow("added to itself") << "R2 + 3R2" << R::RowAddedToItself << 5 << 0LL;
    QTest::newRow("added to itself, assigned") << "R2 = R2 - 1/2 R2" << R::RowAddedToItself << 10 << 0LL;
    QTest::newRow("row 0") << "R2 - R0" << R::RowOutOfRange << 5 << 0LL;
    QTest::newRow("row beyond the order") << "R4 <-> R1" << R::RowOutOfRange << 0 << 4LL;
    QTest::newRow("huge row number") << "R2 + R99999999999999999999999" << R::RowOutOfRange << 5
                                     << 922337203685477580LL;
    QTest::newRow("zero denominator") << "R2 - 1/0 R1" << R::ZeroDenominator << 7 << 0LL;
    QTest::newRow("divided by 0") << "R2 / 0" << R::ZeroDenominator << 5 << 0LL;
    QTest::newRow("exchanged with itself") << "R2 <-> R2" << R::ExchangeWithItself << 7 << 0LL;
    QTest::newRow("empty") << "" << R::NotAnOperation << 0 << 0LL;
    QTest::newRow("words") << "вычесть" << R::NotAnOperation << 0 << 0LL;
    QTest::newRow("a row alone") << "R2" << R::NotAnOperation << 2 << 0LL;
    QTest::newRow("three rows") << "R3 - R1 + R2" << R::NotAnOperation << 10 << 0LL;
    QTest::newRow("stops at the stray sign") << "R2 - 1/2 R1 ;" << R::NotAnOperation << 12 << 0LL;
    QTest::newRow("number without a row") << "R2 - 1/2" << R::NotAnOperation << 5 << 0LL;
    QTest::newRow("exchange without a second row") << "R1 <-> 3" << R::NotAnOperation << 7 << 0LL;
    QTest::newRow("unclosed bracket") << "R2 - (1/2 R1" << R::NotAnOperation << 5 << 0LL;
    QTest::newRow("other digits") << "R٢ + R1" << R::NotAnOperation << 0 << 0LL;
}

void TestCheckOperations::refusals()
{
    QFETCH(QString, line);
    const ExactMatrix system = matrixOf(3, {1, 2, 3, 4, 5, 6, 7, 8, 10, 1, 1, 1});
    CheckSession session(system);
    const ParsedOperation parsed = session.apply(line);
    QTEST(parsed.refusal, "refusal");
    QTEST(int(parsed.at), "at");
    QTEST(parsed.typedRow, "typedRow");
    QCOMPARE(session.doneCount(), std::size_t(0));
    QVERIFY(session.current() == system);
}

void TestCheckOperations::shapes_data()
{
    QTest::addColumn<QList<int>>("values"); // order 3, row by row
    QTest::addColumn<MatrixShape>("shape");
    using S = MatrixShape;
    QTest::newRow("triangular") << QList<int>{2, 1, 1, 5, 0, 3, 1, 2, 0, 0, 4, 1} << S::Echelon;
    QTest::newRow("identity") << QList<int>{1, 0, 0, 5, 0, 1, 0, 2, 0, 0, 1, 1} << S::Reduced;
    QTest::newRow("zero row last") << QList<int>{1, 2, 0, 5, 0, 0, 1, 2, 0, 0, 0, 0} << S::Reduced;
    QTest::newRow("zero row in the middle") << QList<int>{1, 2, 0, 5, 0, 0, 0, 0, 0, 0, 1, 2} << S::Other;
    QTest::newRow("contradiction row") << QList<int>{1, 0, 2, 5, 0, 1, 1, 2, 0, 0, 0, 3} << S::Echelon;
    QTest::newRow("leading entries level") << QList<int>{1, 0, 0, 5, 0, 1, 0, 2, 0, 3, 0, 1} << S::Other;
    QTest::newRow("a step of two") << QList<int>{1, 1, 0, 5, 0, 0, 1, 2, 0, 0, 0, 0} << S::Reduced;
    QTest::newRow("leading 2") << QList<int>{1, 0, 0, 5, 0, 2, 0, 2, 0, 0, 1, 1} << S::Echelon;
    QTest::newRow("entry above a leading 1") << QList<int>{1, 0, 4, 5, 0, 1, 0, 2, 0, 0, 1, 1} << S::Echelon;
    QTest::newRow("all zero") << QList<int>(12, 0) << S::Reduced;
}

void TestCheckOperations::shapes()
{
    QFETCH(QList<int>, values);
    ExactMatrix m(3, std::vector<mpq_class>(4));
    for (int k = 0; k < 12; ++k)
        m[std::size_t(k / 4)][std::size_t(k % 4)] = values[k];
    QTEST(matrixShape(m), "shape");
}

void TestCheckOperations::walkToTheIdentity()
{
    CheckSession session(matrixOf(2, {2, 1, 5, 1, 3, 10}));
    QCOMPARE(matrixShape(session.current()), MatrixShape::Other);
    const struct
    {
        const char *line;
        std::initializer_list<long> numerators;
        MatrixShape shape;
    } walk[] = {
        {"R2 - 1/2 R1", {4, 2, 10, 0, 5, 15}, MatrixShape::Echelon}, // halves: 0 5/2 | 15/2
        {"R2 * 2/5", {2, 1, 5, 0, 1, 3}, MatrixShape::Echelon},
        {"R1 - R2", {2, 0, 2, 0, 1, 3}, MatrixShape::Echelon},
        {"R1 / 2", {1, 0, 1, 0, 1, 3}, MatrixShape::Reduced},
    };
    int k = 0;
    for (const auto &step : walk) {
        QVERIFY2(session.apply(QString::fromUtf8(step.line)).ok(), step.line);
        ExactMatrix expected = matrixOf(2, step.numerators);
        if (k++ == 0)
            for (auto &row : expected)
                for (mpq_class &v : row)
                    v /= 2;
        QVERIFY2(session.current() == expected, step.line);
        QCOMPARE(matrixShape(session.current()), step.shape);
    }
    const QString text = checkPlainText(session, QLocale::c());
    QVERIFY2(text.contains(QStringLiteral("Шаг 1: R2 = R2 - (1/2)·R1\nИз строки 2 вычитается строка 1, "
                                          "умноженная на 1/2.\n 2   1 |   5\n 0 2.5 | 7.5\n"
                                          "Матрица имеет ступенчатый вид.\n")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Шаг 4: R1 = R1 / 2\nСтрока 1 делится на 2.\n 1 0 | 1\n 0 1 | 3\n"
                                          "Матрица имеет приведенный ступенчатый вид.\n")),
             qPrintable(text));
}

void TestCheckOperations::undoAndRedo()
{
    const ExactMatrix system = matrixOf(2, {2, 1, 5, 1, 3, 10});
    CheckSession session(system);
    QVERIFY(!session.canUndo() && !session.canRedo());
    QVERIFY(session.apply(u"R1 <-> R2").ok());
    const ExactMatrix exchanged = session.current();
    QVERIFY(session.apply(u"R2 - 2R1").ok());
    const ExactMatrix eliminated = session.current();
    session.undo();
    QVERIFY(session.current() == exchanged);
    session.undo();
    QVERIFY(session.current() == system);
    QVERIFY(!session.canUndo());
    session.redo();
    session.redo();
    QVERIFY(session.current() == eliminated);
    QVERIFY(!session.canRedo());
    // A new step after an undo drops the undone one.
    session.undo();
    QVERIFY(session.apply(u"R2 * 3").ok());
    QCOMPARE(session.doneCount(), std::size_t(2));
    QVERIFY(!session.canRedo());
    QCOMPARE(session.steps().size(), std::size_t(2));
    session.restart();
    QVERIFY(session.current() == system && !session.canUndo() && !session.canRedo());
}

void TestCheckOperations::randomStepsKeepTheSolutions()
{
    QRandomGenerator random(42);
    const auto number = [&random] {
        const int num = int(random.bounded(-9, 10));
        const int den = int(random.bounded(1, 5));
        return den == 1 ? QString::number(num) : QStringLiteral("(%1/%2)").arg(num).arg(den);
    };
    for (int round = 0; round < 60; ++round) {
        const int n = int(random.bounded(2, 6));
        ExactMatrix system(std::size_t(n), std::vector<mpq_class>(std::size_t(n + 1)));
        // Every third system singular: its last row a sum of the first two.
        for (auto &row : system)
            for (mpq_class &v : row)
                v = int(random.bounded(-5, 6));
        if (round % 3 == 0)
            for (int j = 0; j <= n; ++j)
                system[std::size_t(n - 1)][std::size_t(j)] = system[0][std::size_t(j)] + system[1][std::size_t(j)];
        const ExactMatrix expected = reduced(system);
        CheckSession session(system);
        for (int k = 0; k < 12; ++k) {
            const int i = int(random.bounded(1, n + 1));
            const int j = i % n + 1;
            QString line;
            switch (random.bounded(4)) {
            case 0:
                line = QStringLiteral("R%1 <-> R%2").arg(i).arg(j);
                break;
            case 1:
                line = QStringLiteral("R%1 * %2").arg(i).arg(number());
                break;
            case 2:
                line = QStringLiteral("R%1 + %2·R%3").arg(i).arg(number()).arg(j);
                break;
            default:
                line = QStringLiteral("%2R%1 - %3R%4").arg(i).arg(number(), number()).arg(j);
                break;
            }
            const ParsedOperation parsed = session.apply(line);
            QVERIFY2(parsed.ok() || parsed.refusal == OperationRefusal::ZeroFactor, qPrintable(line));
            QVERIFY2(reduced(session.current()) == expected, qPrintable(line));
        }
    }
}

void TestCheckOperations::formulasReadBack()
{
    // The step list's formula is itself an accepted line for the same step.
    const char *lines[] = {"R2 - 1/2 R1", "2R2 - 3R1", "R3 = -R3 + (2/3)R1", "R1 <-> R3", "R2 / -2", "R2 * 3/7", "R2 * 1",
                           "-R2 - R1"};
    for (const char *line : lines) {
        const RowOperation op = parseOperation(QString::fromUtf8(line), 3).operation;
        const QString formula = operationFormula(op, QLocale::c());
        const ParsedOperation back = parseOperation(formula, 3);
        QVERIFY2(back.ok(), qPrintable(formula));
        QVERIFY2(back.operation.kind == op.kind && back.operation.row == op.row && back.operation.other == op.other
                     && back.operation.factor == op.factor && back.operation.multiple == op.multiple
                     && back.operation.divides == op.divides,
                 qPrintable(formula));
    }
}

QTEST_GUILESS_MAIN(TestCheckOperations)
#include "tst_checkoperations.moc"
