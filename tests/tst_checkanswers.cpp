// SPDX-License-Identifier: GPL-3.0-or-later
// A row the student computed, and the student's answer, checked exactly:
// right rows become the step that gives them, a wrong one is told by its
// first wrong entry; answers for one, infinitely many and no solutions,
// right and wrong, with free unknowns other than the report's.
#include "core/check/checksession.h"
#include "core/check/checktext.h"

#include <QTest>

using namespace ravno;

Q_DECLARE_METATYPE(TypedRow::Failure)
Q_DECLARE_METATYPE(StudentAnswer::Failure)
Q_DECLARE_METATYPE(AnswerVerdict::Kind)

namespace {

ExactMatrix matrixOf(int order, const QList<int> &values)
{
    ExactMatrix m(std::size_t(order), std::vector<mpq_class>(std::size_t(order + 1)));
    for (int k = 0; k < values.size(); ++k)
        m[std::size_t(k / (order + 1))][std::size_t(k % (order + 1))] = values[k];
    return m;
}

} // namespace

class TestCheckAnswers : public QObject
{
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void answers_data();
    void answers();
};

void TestCheckAnswers::rows_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QList<int>>("matrix");
    QTest::addColumn<QString>("line");
    QTest::addColumn<TypedRow::Failure>("failure");
    QTest::addColumn<QString>("said"); // the step's formula, or the verdict
    const QList<int> two{2, 1, 5, 1, 3, 10};
    const QList<int> three{1, 1, 1, 6, 0, 1, 2, 8, 1, 0, 1, 4};
    using F = TypedRow::Failure;
    QTest::newRow("right row") << 2 << two << "2: 0 5/2 | 15/2" << F::None << "R2 = R2 - (1/2)·R1";
    QTest::newRow("right row without the bar") << 2 << two << "2: 0 5/2 15/2" << F::None << "R2 = R2 - (1/2)·R1";
    QTest::newRow("right row, decimals") << 2 << two << "2: 0 2,5 | 7.5" << F::None << "R2 = R2 - (1/2)·R1";
    QTest::newRow("scaled row") << 2 << two << "1: 1 1/2 | 5/2" << F::None << "R1 = (1/2)·R1";
    QTest::newRow("combined step") << 2 << two << "2: 0 5 | 15" << F::None << "R2 = 2·R2 - R1";
    QTest::newRow("wrong first entry") << 2 << two << "2: 1 5/2 | 15/2" << F::None
                                       << "строка 2, столбец 1: должно быть 0, а не 1";
    QTest::newRow("wrong second entry") << 2 << two << "2: 0 3 | 15/2" << F::None
                                        << "строка 2, столбец 2: должно быть 5/2, а не 3";
    QTest::newRow("wrong right-hand side") << 2 << two << "2: 0 5/2 | 7" << F::None
                                           << "строка 2, столбец 3: должно быть 15/2, а не 7";
    QTest::newRow("two operations at once") << 3 << three << "3: 0 -2 -2 | -10" << F::None
                                            << "строка 3, столбец 2: должно быть -1, а не -2";
    QTest::newRow("ties go to the smaller row") << 3 << QList<int>{1, 0, 1, 0, 1, 1, 0, 0, 1, 1, 1, 1}
                                                << "3: 0 0 0 | 5" << F::None
                                                << "строка 3, столбец 2: должно быть 1, а не 0";
    QTest::newRow("row as it was") << 2 << two << "2: 1 3 | 10" << F::None << "строка 2 осталась такой, как была";
    QTest::newRow("too few numbers") << 2 << two << "2: 0 5/2" << F::WrongCount << "";
    QTest::newRow("no such row") << 2 << two << "3: 0 5/2 | 15/2" << F::RowOutOfRange << "";
    QTest::newRow("zero denominator") << 2 << two << "2: 0 5/0 | 15/2" << F::ZeroDenominator << "";
    QTest::newRow("not a number") << 2 << two << "2: 0 x | 15/2" << F::Unreadable << "";
}

void TestCheckAnswers::rows()
{
    QFETCH(int, order);
    QFETCH(QList<int>, matrix);
    QFETCH(QString, line);
    QFETCH(TypedRow::Failure, failure);
    QFETCH(QString, said);
    CheckSession session(matrixOf(order, matrix));
    const CheckEntry entry = session.enter(line);
    QCOMPARE(entry.kind, CheckEntry::Kind::Row);
    QCOMPARE(entry.typed.failure, failure);
    if (failure != TypedRow::Failure::None)
        return;
    if (entry.stepped) {
        QCOMPARE(operationFormula(session.steps().back().operation, QLocale::c()), said);
        ExactMatrix typed = session.steps().back().after;
        QCOMPARE(typed[std::size_t(entry.typed.row)], entry.typed.values);
    } else {
        QCOMPARE(rowVerdictText(entry.row, entry.typed.row), said);
        QCOMPARE(session.doneCount(), std::size_t(0));
        QCOMPARE(session.notes().size(), std::size_t(1));
    }
}

void TestCheckAnswers::answers_data()
{
    QTest::addColumn<QList<int>>("matrix"); // order 2
    QTest::addColumn<QString>("line");
    QTest::addColumn<StudentAnswer::Failure>("failure");
    QTest::addColumn<AnswerVerdict::Kind>("kind");
    QTest::addColumn<QList<int>>("wrong");
    const QList<int> unique{2, 1, 5, 1, 3, 10};    // x1 = 1, x2 = 3
    const QList<int> infinite{1, 2, 3, 2, 4, 6};   // x1 = 3 - 2t1, x2 = t1
    const QList<int> none{1, 2, 3, 2, 4, 7};
    using F = StudentAnswer::Failure;
    using K = AnswerVerdict::Kind;
    QTest::newRow("unique, right") << unique << "x1 = 1, x2 = 3" << F::None << K::Right << QList<int>{};
    QTest::newRow("unique, as fractions") << unique << "x2 = 6/2; x1 = 0,5 + 1/2" << F::None << K::Right << QList<int>{};
    QTest::newRow("unique, x2 wrong") << unique << "x1 = 1, x2 = 4" << F::None << K::WrongUnknowns << QList<int>{1};
    QTest::newRow("unique, both wrong") << unique << "x1 = 3 x2 = 1" << F::None << K::WrongUnknowns
                                        << QList<int>{0, 1};
    QTest::newRow("unique, given a parameter") << unique << "x1 = 1 + t1, x2 = 3" << F::None << K::WrongParameters
                                               << QList<int>{};
    QTest::newRow("unique, said none") << unique << "Нет решений." << F::None << K::HasSolutions << QList<int>{};
    QTest::newRow("infinite, right") << infinite << "x1 = 3 - 2t1, x2 = t1" << F::None << K::Right << QList<int>{};
    QTest::newRow("infinite, x1 wrong") << infinite << "x1 = 3 + 2t1, x2 = t1" << F::None << K::WrongUnknowns
                                        << QList<int>{0};
    QTest::newRow("infinite, other free unknown") << infinite << "x1 = t1, x2 = 3/2 − 1/2·t1" << F::None << K::Right
                                                  << QList<int>{};
    QTest::newRow("infinite, other point and step") << infinite << "x1 = 1 - 2t1, x2 = 1 + t1" << F::None << K::Right
                                                    << QList<int>{};
    QTest::newRow("infinite, other free unknown, wrong") << infinite << "x1 = t1, x2 = 3/2 + 1/2 t1" << F::None
                                                         << K::NotASolution << QList<int>{};
    QTest::newRow("infinite, other free unknown, wrong point") << infinite << "x1 = t1, x2 = 1 - 1/2 t1" << F::None
                                                               << K::NotASolution << QList<int>{};
    QTest::newRow("infinite, one solution only") << infinite << "x1 = 3, x2 = 0" << F::None << K::WrongParameters
                                                 << QList<int>{};
    QTest::newRow("infinite, a parameter that cancels") << infinite << "x1 = 3 - 2t1 + t2 - t2, x2 = t1 + 0t2" << F::None
                                              << K::Right << QList<int>{};
    QTest::newRow("infinite, said none") << infinite << "нет решений" << F::None << K::HasSolutions << QList<int>{};
    QTest::newRow("none, right") << none << "нет решений" << F::None << K::Right << QList<int>{};
    QTest::newRow("none, gave some") << none << "x1 = 3 - 2t1, x2 = t1" << F::None << K::Inconsistent
                                     << QList<int>{};
    QTest::newRow("an unknown missing") << unique << "x1 = 1" << F::Missing << K::Right << QList<int>{};
    QTest::newRow("an unknown twice") << unique << "x1 = 1, x1 = 3" << F::Twice << K::Right << QList<int>{};
    QTest::newRow("no such unknown") << unique << "x1 = 1, x3 = 3" << F::UnknownOutOfRange << K::Right
                                     << QList<int>{};
    QTest::newRow("zero denominator") << unique << "x1 = 1/0, x2 = 3" << F::ZeroDenominator << K::Right
                                      << QList<int>{};
    QTest::newRow("unreadable") << unique << "x1 = 1, x2 = три" << F::Unreadable << K::Right << QList<int>{};
}

void TestCheckAnswers::answers()
{
    QFETCH(QList<int>, matrix);
    QFETCH(QString, line);
    QFETCH(StudentAnswer::Failure, failure);
    QFETCH(AnswerVerdict::Kind, kind);
    QFETCH(QList<int>, wrong);
    CheckSession session(matrixOf(2, matrix));
    QVERIFY(session.apply(u"R1 <-> R2").ok()); // checked against the system, not the matrix now
    const CheckEntry entry = session.enter(line);
    QCOMPARE(entry.kind, CheckEntry::Kind::Answer);
    QCOMPARE(entry.answer.failure, failure);
    if (failure != StudentAnswer::Failure::None)
        return;
    QCOMPARE(entry.verdict.kind, kind);
    QCOMPARE(QList<int>(entry.verdict.wrong.begin(), entry.verdict.wrong.end()), wrong);
    QCOMPARE(session.notes().size(), std::size_t(1));
    QVERIFY(checkPlainText(session, QLocale::c()).contains(answerVerdictText(entry.verdict)));
}

QTEST_GUILESS_MAIN(TestCheckAnswers)
#include "tst_checkanswers.moc"
