// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report: exact values as text, a worked system whose every
// step is known, the two kinds of singular system told apart, the general
// solution checked by substitution, and the report reached through the
// menus from the keyboard and copied.
#include "core/arraytext.h"
#include "core/exacttext.h"
#include "core/randomdigits.h"
#include "core/reporttext.h"
#include "core/solver.h"
#include "testsupport.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"
#include "ui/report/reportkeeper.h"
#include "ui/report/reportprint.h"
#include "ui/report/reportwindow.h"
#include "windowcheck.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QBuffer>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QGlyphRun>

using namespace ravno;
using namespace ravno::test;

namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

SolveResult solved(int order, const QString &contents)
{
    Workspace ws;
    ws.resize(order);
    fillFromText(ws, order, contents, QLocale::c());
    return solve(ws, QLocale::c());
}

Report reportOf(int order, const QString &contents)
{
    return buildReport(solved(order, contents).record);
}

// What a screen reader is given for a control: its text, where it has one,
// or its name.
QString readerText(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    if (QAccessibleTextInterface *text = face->textInterface())
        return text->text(0, text->characterCount());
    return face->text(QAccessible::Name);
}

bool privateUse(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'\uFDD0' && c <= u'\uFDEF'; });
}

} // namespace

class TestReport : public QObject
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
    void gaussJordanEndsReduced();
    void fromTheMenuByKeyboard();
    void exponentsReadable();
    void savePdf_data();
    void savePdf();
    void pdfPagesHoldEveryCharacter_data();
    void pdfPagesHoldEveryCharacter();
};

void TestReport::exactValues_data()
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
}

void TestReport::exactValues()
{
    QFETCH(QString, value);
    QFETCH(int, length);
    QFETCH(QString, text);
    QFETCH(QString, rounded);
    mpq_class q(value.toStdString());
    q.canonicalize();
    QCOMPARE(exactText(q, kRussian, Length(length)), text);
    if (!rounded.isEmpty())
        QCOMPARE(roundedText(q, kRussian), rounded);
}

void TestReport::workedSystem()
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
        "Проверка: все 3 уравнения выполняются точно\n");
    const Report report = reportOf(3, QStringLiteral("2 1 -1 8 -3 -1 2 -11 -2 1 2 -3"));
    QCOMPARE(reportPlainText(report, kRussian), expected);
}

void TestReport::kinds_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QStringList>("lines"); // each a whole line of the report

    QTest::newRow("fractions") << 2 << "3 0 1 0 7 -2"
                               << QStringList{"x1 = 1/3 ≈ 0,333", "x2 = -2/7 ≈ -0,286",
                                              "Проверка: оба уравнения выполняются точно"};
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

void TestReport::kinds()
{
    QFETCH(int, order);
    QFETCH(QString, contents);
    QFETCH(QStringList, lines);
    const QStringList shown = reportPlainText(reportOf(order, contents), kRussian).split(u'\n');
    for (const QString &line : lines)
        QVERIFY2(shown.contains(line), qPrintable(line));
    // On screen and paper the minus is "−", and no line ends in a full stop.
    for (const ReportBlock &block : reportBlocks(reportOf(order, contents), kRussian, Length::Short)) {
        QStringList texts{block.text};
        for (const QStringList &row : block.rows)
            texts << row;
        for (const QString &text : texts)
            QVERIFY2(!text.contains(u'-') && !text.endsWith(u'.'), qPrintable(text));
    }
}

void TestReport::answerLineAndReportAgree_data()
{
    QTest::addColumn<QString>("contents"); // x1 is twice the third number
    QTest::addColumn<bool>("beyond");
    QTest::newRow("just below the largest double") << "0.5 0 8.988465674311578E307 0 1 1" << false;
    QTest::newRow("above it, nearest to it") << "0.5 0 8.988465674311579E307 0 1 1" << false;
    QTest::newRow("past 2^1024 - 2^970") << "0.5 0 8.98846567431158E307 0 1 1" << true;
}

void TestReport::answerLineAndReportAgree()
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
void TestReport::generalSolutionHolds()
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

// Gauss–Jordan ends in the reduced row echelon form that the report's kind,
// ranks and answers describe: for random systems of orders 2..10, regular
// and singular, of digits, integers and decimals.
void TestReport::gaussJordanEndsReduced()
{
    const QStringList worked = reportPlainText(reportOf(2, QStringLiteral("2 1 5 1 3 10")), kRussian,
                                               Method::GaussJordan)
                                   .split(u'\n');
    for (const char *line : {"Строка 2 делится на 5/2", "Из строки 1 вычитается строка 2, умноженная на 1/2",
                             "  1 0 | 1", "  0 1 | 3", "x2 = 3"})
        QVERIFY2(worked.contains(QString::fromUtf8(line)), line);
    // By hand, a11 = 2 is not 0: no exchange in column 1.
    const QString byHand = reportPlainText(
        withPivot(reportOf(3, QStringLiteral("2 1 -1 8 -3 -1 2 -11 -2 1 2 -3")), Pivot::FirstNonZero), kRussian);
    QVERIFY(byHand.contains(QStringLiteral("Столбец 1\nГлавный элемент 2 в строке 1\n")));
    QVERIFY(byHand.contains(QStringLiteral("Из строки 2 вычитается строка 1, умноженная на (-3/2)\n")));
    QRandomGenerator random(40);
    for (int run = 0; run < 300; ++run) {
        const int n = 2 + int(random.bounded(9));
        QStringList pieces;
        for (int k = 0; k < n * (n + 1); ++k) {
            const int kind = run % 3;
            const int v = int(random.bounded(kind == 0 ? 10 : 41)) - (kind == 0 ? 0 : 20);
            pieces << (kind == 2 ? QString::number(v / 4.0) : QString::number(v));
        }
        // Every fourth system has its last row the sum of the first two: singular.
        if (run % 4 == 3)
            for (int j = 0; j <= n; ++j)
                pieces[n * (n + 1) + j - (n + 1)] = QString::number(pieces[j].toDouble() + pieces[n + 1 + j].toDouble());
        const Report largest = reportOf(n, pieces.join(u' '));
        for (const Pivot pivot : {Pivot::Largest, Pivot::FirstNonZero}) {
            const Report report = withPivot(largest, pivot);
            QCOMPARE(report.unique, largest.unique);
            QCOMPARE(report.rankCoefficients, largest.rankCoefficients);
            QCOMPARE(report.rankAugmented, largest.rankAugmented);
            QCOMPARE(report.firstInconsistent, largest.firstInconsistent);
            QVERIFY(report.failing.empty());
            // The Gauss elimination ends in echelon form, whatever the pivots.
            const ExactMatrix echelon = report.lastMatrix().matrix();
            for (int i = 1; i < n; ++i)
                for (int j = 0; j < std::min(i, n); ++j)
                    QVERIFY(echelon[std::size_t(i)][std::size_t(j)] == 0 || !report.unique);
            const std::vector<ReportBlock> blocks = reportBlocks(report, kRussian, Length::Whole, Method::GaussJordan);
            const auto last = std::find_if(blocks.rbegin(), blocks.rend(),
                                           [](const ReportBlock &b) { return b.kind == ReportBlock::Kind::Matrix; });
            QVERIFY(last != blocks.rend());
            int pivots = 0, contradictions = 0;
            for (int i = 0; i < n; ++i) {
                const QStringList &row = last->rows[std::size_t(i)];
                const qsizetype lead = std::find_if(row.begin(), row.end() - 1, [](const QString &c) { return c != u"0"; })
                                       - row.begin();
                if (lead == n) {
                    contradictions += row.last() != u"0";
                    continue;
                }
                ++pivots;
                QCOMPARE(row[lead], QStringLiteral("1"));
                for (int k = 0; k < n; ++k)
                    if (k != i)
                        QCOMPARE(last->rows[std::size_t(k)][lead], QStringLiteral("0"));
                if (report.unique)
                    QCOMPARE(row.last(), exactText(report.answers.value(i, 0), kRussian, Length::Whole,
                                                   Notation::Fraction));
            }
            QCOMPARE(pivots, report.rankCoefficients);
            QCOMPARE(pivots + (contradictions > 0 ? 1 : 0), report.rankAugmented);
            QCOMPARE(report.unique, pivots == n);
        }
    }
}

void TestReport::fromTheMenuByKeyboard()
{
    Sandbox box;
    Form1 main(*box.context);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    press(child<QPushButton>(&main, "Command1"));
    Form2 *editor = main.editor();
    QVERIFY(editor);
    child<QLineEdit>(editor, "Text1")->setText(QStringLiteral("3 0 1 0 7 -2"));
    editor->findChild<QScrollBar *>(QStringLiteral("VScroll1"))->setValue(10);
    // A reader hears the preview a row a line.
    QCOMPARE(readerText(child<QWidget>(editor, "Label1")).split(u'\n'),
             (QStringList{"Система уравнений:", "Массив", "3 0 | 1", "0 7 | -2"}));
    press(child<QPushButton>(editor, "Command4"));
    press(child<QPushButton>(&main, "Command3"));
    QVERIFY(QTest::qWaitForWindowActive(&main));

    // Alt opens the menu bar; to "Помощь", down to "Подробный отчет".
    QTest::keyClick(main.windowHandle(), Qt::Key_Alt);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(main.windowHandle(), Qt::Key_Right);
    QTest::keyClick(main.windowHandle(), Qt::Key_Down);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);

    ReportWindow *report = main.report()->window();
    QVERIFY(report);
    QTRY_VERIFY(report->isActiveWindow());
    QVERIFY(!report->frameGeometry().intersects(main.frameGeometry()));
    // The report is read as its copied text: each matrix row a line with
    // "|" before the right-hand side, none of the view's cell marks.
    QWidget *view = child<QWidget>(report, "reportView");
    QCOMPARE(QAccessible::queryAccessibleInterface(view)->role(), QAccessible::Document);
    const QString heard = readerText(view);
    QCOMPARE(heard, report->plainText());
    QVERIFY(!privateUse(heard) && !privateUse(readerText(child<QWidget>(&main, "Label1"))));
    QCOMPARE(heard.count(QStringLiteral(" | ")), 2);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(report->windowHandle(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
    QVERIFY(copied.contains(QStringLiteral("x1 = 1/3 ≈ 0.333")));
    QVERIFY(copied.contains(QStringLiteral("x2 = -2/7 ≈ -0.286")));
    // Return on "Копировать", reached by Tab from the text, copies too.
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(report->windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("copy"));
    QTest::keyClick(report->windowHandle(), Qt::Key_Return);
    QCOMPARE(QGuiApplication::clipboard()->text().split(u'\n'), copied);
    // «Метод», two Tabs on, chooses Gauss–Jordan for the view and the copy.
    QTest::keyClick(report->windowHandle(), Qt::Key_Tab);
    QTest::keyClick(report->windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->accessibleName(), QStringLiteral("Метод"));
    QTest::keyClick(report->windowHandle(), Qt::Key_Down);
    QTest::keyClick(report->windowHandle(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("\n2. Метод Гаусса — Жордана\n")));
    QVERIFY(readerText(view).contains(QStringLiteral("\n2. Метод Гаусса — Жордана\n")));
    checkFocusFrames(report);

    QTest::keyClick(report->windowHandle(), Qt::Key_Escape);
    QVERIFY(!report->isVisible());
}

// On screen an exponent is drawn at two thirds of its number's size or more.
void TestReport::exponentsReadable()
{
    Sandbox box;
    ReportWindow window(box.messages, kRussian);
    window.setReport(reportOf(2, QStringLiteral("1E-300 0 1E300 0 1 1")));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QTextDocument *document = window.findChild<QTextBrowser *>(QStringLiteral("reportView"))->document();
    int exponents = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        qreal number = 0;
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QList<QGlyphRun> runs = fragment.fragment().glyphRuns();
            if (runs.isEmpty())
                continue;
            const qreal size = runs.first().rawFont().pixelSize();
            if (fragment.fragment().charFormat().verticalAlignment() != QTextCharFormat::AlignSuperScript) {
                number = size;
                continue;
            }
            ++exponents;
            QVERIFY2(size >= number * 2 / 3, qPrintable(QStringLiteral("%1 of %2").arg(size).arg(number)));
        }
    }
    QVERIFY(exponents >= 4);
}

void TestReport::savePdf_data()
{
    QTest::addColumn<QString>("name"); // below the sandbox's working folder
    QTest::addColumn<bool>("written");
    QTest::newRow("written") << "otchet.pdf" << true;
    QTest::newRow("missing folder") << "nowhere/otchet.pdf" << false;
}

void TestReport::savePdf()
{
    QFETCH(QString, name);
    QFETCH(bool, written);
    Sandbox box;
    ReportWindow window(box.messages, kRussian);
    window.setReport(reportOf(2, QStringLiteral("3 0 1 0 7 -2")));
    const QString path = box.workingPath() + u'/' + name;
    window.askPdfPath = [&path](QWidget *) { return path; };
    window.show();
    press(window.findChild<QPushButton *>(QStringLiteral("savePdf")));

    QFile file(path);
    QCOMPARE(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-", written);
    QCOMPARE(box.messages.boxes.size(), written ? 0 : 1);
    if (!written) {
        QCOMPARE(box.messages.boxes.constFirst().title, QStringLiteral("Ошибка"));
        QVERIFY(box.messages.boxes.constFirst().text.contains(QDir::toNativeSeparators(path)));
    }
}

void TestReport::pdfPagesHoldEveryCharacter_data()
{
    QTest::addColumn<QString>("contents");
    RandomSource random;
    QTest::newRow("random digits") << randomContents(random, 10);
    QStringList long17;
    for (int k = 0; k < 110; ++k)
        long17 << QStringLiteral("%1").arg((k * 7919 % 89 + 10) * 1000000000000000LL + k * 104729);
    QTest::newRow("17 digits") << long17.join(u' ');
}

// Every piece of text lies in the text area of its page, none is lost, and
// no heading is the last on its page.
void TestReport::pdfPagesHoldEveryCharacter()
{
    QFETCH(QString, contents);
    Sandbox box;
    ReportWindow window(box.messages, kRussian);
    const Report report = reportOf(10, contents);
    window.setReport(report);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    const PrintLayout layout = window.printLayout(writer);
    QString all;
    int exponents = 0;
    for (const auto &page : layout.pages) {
        QVERIFY(!page.empty() && !page.back().heading);
        for (std::size_t i = 0; i < page.size(); ++i) {
            const PrintedText &piece = page[i];
            QVERIFY2(layout.textArea.contains(piece.box), qPrintable(piece.text));
            all += piece.text;
            // An exponent is at least two thirds of its number's size, and above its baseline.
            if (piece.raised) {
                ++exponents;
                QVERIFY(i > 0 && !page[i - 1].raised);
                QVERIFY(piece.font.pointSizeF() >= page[i - 1].font.pointSizeF() * 2 / 3);
                QVERIFY(piece.baseline.y() < page[i - 1].baseline.y());
            }
        }
    }
    QCOMPARE(exponents > 0, all.contains(QStringLiteral("·10")));
    all.remove(u' ');
    static const QString raised = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹⁻"), plain = QStringLiteral("0123456789−");
    for (const ReportBlock &block : reportBlocks(report, kRussian, Length::Short)) {
        QStringList texts{block.text};
        for (const QStringList &row : block.rows)
            texts << row;
        for (QString text : texts) {
            for (qsizetype i = 0; i < raised.size(); ++i)
                text.replace(raised[i], plain[i]);
            QVERIFY2(all.contains(text.remove(u' ')), qPrintable(text));
        }
    }
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
