// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report as text: exact values, a worked system whose every
// step is known, the two kinds of singular system told apart with their
// working, and the general solution checked by substitution.
#include "core/text/exacttext.h"
#include "core/report/reporttext.h"
#include "reportsupport.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace ravno;
using namespace ravno::test;

class TestReportText : public QObject
{
    Q_OBJECT
private slots:
    void exactValues_data();
    void exactValues();
    void workedSystem();
    void kinds_data();
    void kinds();
    void answerLineAndReportAgree_data();
    void answerLineAndReportAgree();
    void generalSolutionHolds();
};

void TestReportText::exactValues_data()
{
    QTest::addColumn<QString>("value"); // as GMP reads it: "p/q"
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rounded");

    const int whole = int(Length::Whole), shortened = int(Length::Short);
    QTest::newRow("fraction, sign in front") << "2/-7" << whole << "-2/7" << "-0,286";
    QTest::newRow("lowest terms") << "6/9" << whole << "2/3" << "0,667";
    QTest::newRow("decimal") << "-5/2" << whole << "-2,5" << "-2,500";
    QTest::newRow("tie away from zero") << "-1/16" << whole << "-0,0625" << "-0,063";
    QTest::newRow("rounds to zero, no minus") << "-1/2001" << whole << "-1/2001" << "0,000";
    QTest::newRow("power of ten from 10^15, plain") << "1000000000000000" << whole << "1·10^15"
                                                    << "1000000000000000,000";
    QTest::newRow("power of ten, superscript, true minus") << "-15/10000000" << shortened << "−1,5·10⁻⁶" << "0,000";
    QTest::newRow("1E-04 as it is") << "1/10000" << whole << "0,0001" << "0,000";
    QTest::newRow("17 digits kept") << "12345678901234567" << whole << "1,2345678901234567·10^16"
                                    << "12345678901234567,000";
    const QString long57 = QStringLiteral("1234") + QString(24, u'5') + QStringLiteral("3/7") + QString(27, u'0');
    QTest::newRow("long fraction rounded, one digit before the separator")
        << long57 << shortened << "≈ 1,764 (1 цифра)" << "1,764";
    const QString tenTo300 = QStringLiteral("1") + QString(300, u'0');
    QTest::newRow("long value rounded, not cut") << tenTo300 + "/7" << shortened << "≈ 1,429·10²⁹⁹ (300 цифр)"
                                                 << QString();
    QTest::newRow("negative long value") << "-" + tenTo300 + "/7" << shortened << "≈ −1,429·10²⁹⁹ (300 цифр)"
                                         << QString();
    QTest::newRow("below 1, no count") << "1/3" + tenTo300.mid(1) << shortened << "≈ 3,333·10⁻³⁰¹" << "0,000";
    QTest::newRow("rounding carries into the power") << QString(42, u'9') << shortened << "≈ 1,000·10⁴² (42 цифры)"
                                                     << QString(42, u'9') + ",000";
    QTest::newRow("long fraction whole") << "1/" + QString(41, u'3') << whole << "1/" + QString(41, u'3')
                                         << "0,000";
    QTest::newRow("long decimal shortened")
        << "1" + QString(40, u'0') + "1/10" << shortened << "≈ 1,000·10⁴⁰ (41 цифра)"
        << "1" + QString(40, u'0') + ",100";
    QTest::newRow("tiny decimal is short") << "1/1" + QString(300, u'0') << shortened << "1·10⁻³⁰⁰" << "0,000";
    QTest::newRow("huge decimal is short") << "-15" + QString(60, u'0') << shortened << "−1,5·10⁶¹"
                                           << "-15" + QString(60, u'0') + ",000";
}

void TestReportText::exactValues()
{
    QFETCH(QString, value);
    QFETCH(int, length);
    QFETCH(QString, text);
    QFETCH(QString, rounded);
    mpq_class q(value.toStdString());
    q.canonicalize();
    QCOMPARE(exactText(q, kRussian, Length(length)), text);
    // The same handed over unreduced, over a negative denominator, as the
    // report's methods hand their values over.
    const mpz_class k("-1" + std::string(60, '0') + "7");
    QCOMPARE(exactText(q.get_num() * k, q.get_den() * k, kRussian, Length(length), Notation::Decimal), text);
    if (!rounded.isEmpty())
        QCOMPARE(roundedText(q, kRussian), rounded);
}

void TestReportText::workedSystem()
{
    const QString expected = QStringLiteral(
        "1. Система уравнений\n"
        "2·x1 + x2 - x3 = 8\n"
        "-3·x1 - x2 + 2·x3 = -11\n"
        "-2·x1 + x2 + 2·x3 = -3\n"
        "\n"
        "2. Исключение неизвестных\n"
        "Столбец 1\n"
        "Строки 1 и 2 меняются местами: главный элемент -3\n"
        "Из строки 2 вычитается строка 1, умноженная на (-2/3)\n"
        "Из строки 3 вычитается строка 1, умноженная на 2/3\n"
        "  -3  -1   2 |  -11\n"
        "   0 1/3 1/3 |  2/3\n"
        "   0 5/3 2/3 | 13/3\n"
        "Столбец 2\n"
        "Строки 2 и 3 меняются местами: главный элемент 5/3\n"
        "Из строки 3 вычитается строка 2, умноженная на 1/5\n"
        "  -3  -1   2 |  -11\n"
        "   0 5/3 2/3 | 13/3\n"
        "   0   0 1/5 | -1/5\n"
        "\n"
        "3. Обратный ход\n"
        "x3 = (-1/5) / (1/5) = -1\n"
        "x2 = (13/3 - (2/3)·(-1)) / (5/3) = 3\n"
        "x1 = (-11 + 3 - 2·(-1)) / (-3) = 2\n"
        "\n"
        "4. Ответ\n"
        "x1 = 2\n"
        "x2 = 3\n"
        "x3 = -1\n"
        "Проверка: все 3 уравнения выполняются точно\n"
        "\n"
        "5. Определитель\n"
        "det A = -1\n");
    const Report report = reportOf(3, QStringLiteral("2 1 -1 8 -3 -1 2 -11 -2 1 2 -3"));
    QCOMPARE(reportPlainText(report, kRussian), expected);
}

void TestReportText::kinds_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QStringList>("lines"); // each a whole line of the report

    QTest::newRow("fractions") << 2 << "3 0 1 0 7 -2"
                               << QStringList{"x1 = 1/3 ≈ 0,333", "x2 = -2/7 ≈ -0,286",
                                              "Проверка: оба уравнения выполняются точно"};
    QTest::newRow("typed fractions and decimals as typed, the steps in fractions")
        << 2 << "0.5 1/4 1 0.25 -2/2 1.5/3"
        << QStringList{"0,5·x1 + (1/4)·x2 = 1", "0,25·x1 - x2 = 1/2", "Главный элемент 1/2 в строке 1",
                       "Из строки 2 вычитается строка 1, умноженная на 1/2", "    0 -9/8 | 0",
                       "x1 = 2"};
    QTest::newRow("fraction divided, five equations")
        << 5 << "3 1 0 0 0 4 1 2 0 0 0 5 0 0 1 0 0 1 0 0 0 1 0 1 0 0 0 0 1 1"
        << QStringList{"x2 = (11/3) / (5/3) = 11/5",
                       "Проверка: все 5 уравнений выполняются точно"};
    // Column 2 is the last: no column follows, and nothing is free.
    QTest::newRow("no division by 1") << 2 << "1 2 3 0 1 1" << QStringList{"x1 = 3 - 2·1 = 1"};
    QTest::newRow("no multiplier of 1") << 2 << "1 1 2 1 -1 0"
                                        << QStringList{"Из строки 2 вычитается строка 1"};
    QTest::newRow("negative multiplier bracketed")
        << 2 << "1 1 2 -2 1 1" << QStringList{"Из строки 2 вычитается строка 1, умноженная на (-1/2)"};
    QTest::newRow("decimals as typed, fractions in the steps")
        << 2 << "-4.25 1 1 1 3 2"
        << QStringList{"-4,25·x1 + x2 = 1", "Главный элемент -17/4 в строке 1",
                       "Из строки 2 вычитается строка 1, умноженная на (-4/17)", "  -17/4     1 |     1"};
    QTest::newRow("an equation without unknowns written out") << 2 << "0 0 5 1 1 1"
                                                                << QStringList{"0·x1 + 0·x2 = 5"};
    QTest::newRow("inconsistent")
        << 2 << "1 2 3 2 4 7"
        << QStringList{"3. Исследование системы", "Строка 2: 0·x1 + 0·x2 = -1/2 — противоречие",
                       "Ранг матрицы системы 1 меньше ранга расширенной матрицы 2, поэтому система несовместна "
                       "(теорема Кронекера — Капелли)",
                       "Уже первые два уравнения (в исходной нумерации) несовместны, а первое уравнение имеет решения",
                       "В столбце 2 на диагонали и ниже одни нули: одного решения нет"};
    // The pivot brings equation 3 up first; the first equations are still
    // counted as typed.
    QTest::newRow("inconsistent from the third equation")
        << 3 << "1 1 1 1 2 2 2 2 3 3 3 4"
        << QStringList{"Строка 2: 0·x1 + 0·x2 + 0·x3 = -2/3 — противоречие",
                       "Уже первые три уравнения (в исходной нумерации) несовместны, а первые два совместны",
                       "Столбец 3: на диагонали и ниже одни нули"};
    QTest::newRow("infinitely many")
        << 2 << "1 2 3 2 4 6"
        << QStringList{"3. Исследование системы",
                       "Ранг матрицы системы и ранг расширенной матрицы равны 1 и меньше числа неизвестных 2, "
                       "поэтому система совместна и имеет бесконечно много решений (теорема Кронекера — Капелли)",
                       "x2 = t1 (свободное неизвестное, t1 — любое число)",
                       "Из строки 1: x1 = (6 - 4·t1) / 2 = 3 - 2·t1", "Общее решение (t1 — любое число)",
                       "x1 = 3 - 2·t1", "x2 = t1", "Проверка: при любом t1 оба уравнения выполняются точно"};
    QTest::newRow("back substitution in the parameters")
        << 3 << "2 2 2 6 1 0 -1 0 1 1 1 3"
        << QStringList{"x3 = t1 (свободное неизвестное, t1 — любое число)",
                       "Из строки 2: x2 = (-3 + 2·t1) / (-1) = 3 - 2·t1", "Из строки 1: x1 = (2·t1) / 2 = t1"};
    QTest::newRow("two parameters, a fraction factor")
        << 3 << "3 1 1 1 6 2 2 2 9 3 3 3"
        << QStringList{"Общее решение (t1, t2 — любые числа)", "x1 = 1/3 - (1/3)·t1 - (1/3)·t2",
                       "Проверка: при любых t1, t2 все 3 уравнения выполняются точно"};
    QTest::newRow("beyond the double range, powers of ten bracketed")
        << 2 << "1E-300 0 1E300 0 1 1"
        << QStringList{"(1·10^-300)·x1 = 1·10^300", "x1 = (1·10^300) / (1·10^-300) = 1·10^600",
                       "x1 = 1·10^600 — вне диапазона чисел, поэтому в строке ответа «Ответ вне диапазона чисел»",
                       "x2 = 1"};
    // The solver stops at column 1; the parameter is x1, the pivots lie right of it.
    QTest::newRow("zero first column")
        << 3 << "0 1 0 2 0 0 1 3 0 2 2 10"
        << QStringList{"В столбце 1 на диагонали и ниже одни нули: одного решения нет, x1 — свободное неизвестное",
                       "x1 = t1", "x2 = 2", "x3 = 3"};
    // Of ten equations the first k have no common solution: xi = 1 each,
    // until equation k says x1 = 2 (equation 1 alone says 0 = 2).
    const QStringList counts{"одно", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять", "десять"};
    for (int k = 1; k <= 10; ++k) {
        QStringList pieces;
        for (int i = 1; i <= 10; ++i) {
            const int column = i != k ? i : k == 1 ? 0 : 1;
            for (int j = 1; j <= 10; ++j)
                pieces << (j == column ? QStringLiteral("1") : QStringLiteral("0"));
            pieces << (i == k ? QStringLiteral("2") : QStringLiteral("1"));
        }
        QString line = k == 1 ? QStringLiteral("Уже первое уравнение (в исходной нумерации) не имеет решений")
                              : QStringLiteral("Уже первые %1 %2 (в исходной нумерации) несовместны, а %3")
                                    .arg(counts[k - 1], k <= 4 ? "уравнения" : "уравнений",
                                         k == 2 ? QStringLiteral("первое уравнение имеет решения")
                                                : QStringLiteral("первые %1 совместны").arg(counts[k - 2]));
        QTest::newRow(qPrintable(QStringLiteral("first %1 of ten inconsistent").arg(k))) << 10 << pieces.join(u' ')
                                                                                   << QStringList{line};
    }
}

void TestReportText::kinds()
{
    QFETCH(int, order);
    QFETCH(QString, contents);
    QFETCH(QStringList, lines);
    checkLines(order, contents, lines);
}

void TestReportText::answerLineAndReportAgree_data()
{
    QTest::addColumn<QString>("contents"); // x1 is twice the third number
    QTest::addColumn<bool>("beyond");
    QTest::newRow("just below the largest double") << "0.5 0 8.988465674311578E307 0 1 1" << false;
    QTest::newRow("above it, nearest to it") << "0.5 0 8.988465674311579E307 0 1 1" << false;
    QTest::newRow("past 2^1024 - 2^970") << "0.5 0 8.98846567431158E307 0 1 1" << true;
    // x1 = the largest double + 1/2, over a denominator of 2.
    QTest::newRow("a half above the largest double") << "1 -1 1.7976931348623157E308 0 2 1" << false;
}

void TestReportText::answerLineAndReportAgree()
{
    QFETCH(QString, contents);
    QFETCH(bool, beyond);
    const SolveResult result = solved(2, contents);
    QCOMPARE(result.answerLine == kOutOfRange, beyond);
    QCOMPARE(reportPlainText(buildReport(result.record), kRussian).contains(kOutOfRange), beyond);
}

// For random consistent systems of lower rank, the general solution put
// back into the system as written satisfies every equation exactly, for
// any values of the parameters.
void TestReportText::generalSolutionHolds()
{
    QRandomGenerator random(24);
    const auto small = [&random] { return int(random.bounded(9)) - 4; };
    for (int run = 0; run < 200; ++run) {
        const int n = 2 + int(random.bounded(5));
        const int rank = 1 + int(random.bounded(n - 1));
        // A = B·C with B n x rank and C rank x n; b = A·x0.
        std::vector<std::vector<int>> b(n, std::vector<int>(rank)), c(rank, std::vector<int>(n));
        for (auto &row : b)
            for (int &v : row)
                v = small();
        for (auto &row : c)
            for (int &v : row)
                v = small();
        std::vector<int> x0(n);
        for (int &v : x0)
            v = small();
        QStringList pieces;
        std::vector<std::vector<mpq_class>> a(n, std::vector<mpq_class>(n + 1));
        for (int i = 0; i < n; ++i) {
            int rhs = 0;
            for (int j = 0; j < n; ++j) {
                int v = 0;
                for (int k = 0; k < rank; ++k)
                    v += b[i][k] * c[k][j];
                a[i][j] = v;
                rhs += v * x0[j];
                pieces << QString::number(v);
            }
            a[i][n] = rhs;
            pieces << QString::number(rhs);
        }
        const Report report = reportOf(n, pieces.join(u' '));
        QVERIFY(!report.unique);
        QCOMPARE(report.rankAugmented, report.rankCoefficients);
        QCOMPARE(int(report.parameterColumns.size()), n - report.rankCoefficients);
        for (int trial = 0; trial < 3; ++trial) {
            std::vector<mpq_class> t(report.parameterColumns.size());
            for (auto &v : t) {
                v = mpq_class(small(), 1 + int(random.bounded(5)));
                v.canonicalize();
            }
            std::vector<mpq_class> x(n);
            for (int i = 0; i < n; ++i) {
                x[i] = report.general[i].constant;
                for (std::size_t j = 0; j < t.size(); ++j)
                    x[i] += report.general[i].perParameter[j] * t[j];
            }
            for (int i = 0; i < n; ++i) {
                mpq_class left = 0;
                for (int j = 0; j < n; ++j)
                    left += a[i][j] * x[j];
                QVERIFY2(left == a[i][n], qPrintable(pieces.join(u' ')));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestReportText)
#include "tst_reporttext.moc"
