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

#include <QApplication>
#include <QClipboard>
#include <QBuffer>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>

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
    void fromTheMenuByKeyboard();
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
    QTest::newRow("power of ten, superscript") << "-15/10000000" << shortened << "-1,5·10⁻⁶" << "0,000";
    QTest::newRow("1E-04 as it is") << "1/10000" << whole << "0,0001" << "0,000";
    QTest::newRow("17 digits kept") << "12345678901234567" << whole << "1,2345678901234567·10^16"
                                    << "12345678901234567,000";
    const QString long57 = QStringLiteral("1234") + QString(24, u'5') + QStringLiteral("3/7") + QString(27, u'0');
    QTest::newRow("long fraction shortened") << long57 << shortened << "≈ 1,763… (57 цифр)" << "1,764";
    QTest::newRow("long fraction whole") << "1/" + QString(41, u'3') << whole << "1/" + QString(41, u'3')
                                         << "0,000";
    QTest::newRow("long decimal shortened")
        << "1" + QString(40, u'0') + "1/10" << shortened << "≈ 1,000…·10⁴⁰ (42 цифры)"
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
        "Из строки 2 вычитается строка 1, умноженная на -2/3\n"
        "Из строки 3 вычитается строка 1, умноженная на 2/3\n"
        "  -3  -1   2 |  -11\n"
        "   0 1/3 1/3 |  2/3\n"
        "   0 5/3 2/3 | 13/3\n"
        "Столбец 2\n"
        "Строки 2 и 3 меняются местами: главный элемент 5/3\n"
        "Из строки 3 вычитается строка 2, умноженная на 0,2\n"
        "  -3  -1   2 |  -11\n"
        "   0 5/3 2/3 | 13/3\n"
        "   0   0 0,2 | -0,2\n"
        "\n"
        "3. Обратный ход\n"
        "x3 = -0,2 / 0,2 = -1\n"
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
        << QStringList{"x2 = (11/3) / (5/3) = 2,2",
                       "Проверка: все 5 уравнений выполняются точно"};
    // Column 2 is the last: no column follows, and nothing is free.
    QTest::newRow("no division by 1") << 2 << "1 2 3 0 1 1" << QStringList{"x1 = 3 - 2·1 = 1"};
    QTest::newRow("inconsistent")
        << 2 << "1 2 3 2 4 7"
        << QStringList{"Система несовместна", "Ранг матрицы коэффициентов: 1, ранг расширенной матрицы: 2",
                       "Уже первые k = 2 уравнения не имеют общего решения, а первое уравнение решения имеет",
                       "В столбце 2 на диагонали и ниже одни нули: одного решения нет."};
    // The pivot brings equation 3 up first; k still counts as written.
    QTest::newRow("inconsistent from the third equation")
        << 3 << "1 1 1 1 2 2 2 2 3 3 3 4"
        << QStringList{"Система несовместна",
                       "Уже первые k = 3 уравнения не имеют общего решения, а первые 2 имеют",
                       "Столбец 3: на диагонали и ниже одни нули"};
    QTest::newRow("infinitely many")
        << 2 << "1 2 3 2 4 6"
        << QStringList{"Бесконечно много решений", "Общее решение (t1 — любое число):",
                       "Ранг матрицы коэффициентов: 1, ранг расширенной матрицы: 1", "x1 = 3 - 2·t1",
                       "x2 = t1", "Проверка: при любом t1 оба уравнения выполняются точно"};
    QTest::newRow("two parameters, a fraction factor")
        << 3 << "3 1 1 1 6 2 2 2 9 3 3 3"
        << QStringList{"Общее решение (t1, t2 — любые числа):", "x1 = 1/3 - (1/3)·t1 - (1/3)·t2",
                       "Проверка: при любых t1, t2 все 3 уравнения выполняются точно"};
    QTest::newRow("beyond the double range")
        << 2 << "1E-300 0 1E300 0 1 1"
        << QStringList{"x1 = 1·10^600 — вне диапазона чисел, поэтому в строке ответа "
                       "«Ответ вне диапазона чисел»", "x2 = 1"};
    // The solver stops at column 1; the parameter is x1, the pivots lie right of it.
    QTest::newRow("zero first column")
        << 3 << "0 1 0 2 0 0 1 3 0 2 2 10"
        << QStringList{"Бесконечно много решений", "x1 = t1", "x2 = 2", "x3 = 3"};
}

void TestReport::kinds()
{
    QFETCH(int, order);
    QFETCH(QString, contents);
    QFETCH(QStringList, lines);
    const QStringList shown = reportPlainText(reportOf(order, contents), kRussian).split(u'\n');
    for (const QString &line : lines)
        QVERIFY2(shown.contains(line), qPrintable(line));
}

void TestReport::answerLineAndReportAgree_data()
{
    QTest::addColumn<QString>("contents"); // x1 is twice the third number
    QTest::addColumn<bool>("beyond");
    QTest::newRow("just below the largest double") << "0.5 0 8.988465674311578E307 0 1 1" << false;
    QTest::newRow("above it, nearest to it") << "0.5 0 8.988465674311579E307 0 1 1" << false;
    QTest::newRow("past 2^1024 - 2^970") << "0.5 0 8.98846567431158E307 0 1 1" << true;
    // x1 = the largest double + 1/2, over a denominator of 2.
    QTest::newRow("a half above the largest double") << "1 -1 1.7976931348623157E308 0 2 1" << false;
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
    checkFocusFrames(report);

    QTest::keyClick(report->windowHandle(), Qt::Key_Escape);
    QVERIFY(!report->isVisible());
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
    for (const auto &page : layout.pages) {
        QVERIFY(!page.empty() && !page.back().heading);
        for (const PrintedText &piece : page) {
            QVERIFY2(layout.textArea.contains(piece.box), qPrintable(piece.text));
            all += piece.text;
        }
    }
    all.remove(u' ');
    for (const ReportBlock &block : reportBlocks(report, kRussian, Length::Short)) {
        QStringList texts{block.text};
        for (const QStringList &row : block.rows)
            texts << row;
        for (QString text : texts)
            QVERIFY2(all.contains(text.remove(u' ')), qPrintable(text));
    }
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
