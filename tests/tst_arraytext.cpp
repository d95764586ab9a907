// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/arraytext.h"
#include "core/exact/exactnumber.h"
#include "core/text/pastedsystem.h"
#include "core/randomdigits.h"
#include "core/exact/solver.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QTest>

using namespace ravno;
using namespace ravno::test;

class TestArrayText : public QObject
{
    Q_OBJECT
private slots:
    void pieces_data();
    void pieces();
    void fill_data();
    void fill();
    void caption();
    void fractionsKeptExactly_data();
    void fractionsKeptExactly();
    void hilbertInFractions_data();
    void hilbertInFractions();
    void captionUnderRussianSettings();
    void emptyTextChangesNothing();
    void contentsChangeKeepsAnswers();
    void unloadedWorkspaceIsResized();
    void order_data();
    void order();
    void previewShowsOneRowPerLine();
    void randomContentsAreRepeatable();
    void randomOrderStaysInRange();
    void pastedSystem_data();
    void pastedSystem();
};

void TestArrayText::pieces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("single blanks") << "1 2 3" << QStringList{"1", "2", "3"};
    QTest::newRow("one blank") << " " << QStringList{"", ""};
    QTest::newRow("two blanks") << "1  2" << QStringList{"1", "", "2"};
    QTest::newRow("trailing blank") << "1 " << QStringList{"1", ""};
    QTest::newRow("leading blank") << " 1" << QStringList{"", "1"};
    QTest::newRow("tab is no separator") << "1\t2" << QStringList{"1\t2"};
}

void TestArrayText::pieces()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(splitPieces(text), expected);
}

void TestArrayText::fill_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<double>>("rows");
    // The first used piece that is no number as a whole, "piece=value",
    // with a "," after it where it holds a decimal comma.
    QTest::addColumn<QString>("misread");
    QTest::newRow("exact") << 2 << "1 2 3 4 5 6" << QList<double>{1, 2, 3, 4, 5, 6} << "";
    QTest::newRow("cyclic reuse") << 2 << "1 2" << QList<double>{1, 2, 1, 2, 1, 2} << "";
    QTest::newRow("one blank gives zeros") << 2 << " " << QList<double>{0, 0, 0, 0, 0, 0} << "";
    QTest::newRow("two blanks give an empty piece") << 2 << "1  2" << QList<double>{1, 0, 2, 1, 0, 2} << "";
    QTest::newRow("extra pieces ignored")
        << 2 << "1 2 3 4 5 6 7 x" << QList<double>{1, 2, 3, 4, 5, 6} << "";
    QTest::newRow("trailing blank after a full set")
        << 2 << "1 2 3 4 5 6 " << QList<double>{1, 2, 3, 4, 5, 6} << "";
    QTest::newRow("letters and commas")
        << 2 << "1e5 1,5 3abc -2 .5 &H10" << QList<double>{100000, 1, 3, -2, 0.5, 16} << "1,5=1,";
    QTest::newRow("letters first") << 2 << "5. x 1,5" << QList<double>{5, 0, 1, 5, 0, 1} << "x=0";
    QTest::newRow("exponent without digits") << 2 << "2e+ 1,x" << QList<double>{2, 1, 2, 1, 2, 1} << "2e+=2";
    QTest::newRow("comma after no digit") << 2 << "-,5" << QList<double>{0, 0, 0, 0, 0, 0} << "-,5=0";
    QTest::newRow("beyond a double") << 2 << "1e999" << QList<double>{0, 0, 0, 0, 0, 0} << "1e999=0";
    QTest::newRow("fractions")
        << 2 << "2/6 -4/14 2.5/3 −1/2 0/5 6/3"
        << QList<double>{1.0 / 3, -2.0 / 7, 2.5 / 3, -0.5, 0, 2} << "";
    QTest::newRow("fraction over zero") << 2 << "1/0" << QList<double>(6, 1) << "1/0=1 /0";
    QTest::newRow("no divisor") << 2 << "1/" << QList<double>(6, 1) << "1/=1";
    QTest::newRow("no dividend") << 2 << "/2" << QList<double>(6, 0) << "/2=0";
    QTest::newRow("two slashes") << 2 << "1/2/3" << QList<double>(6, 1) << "1/2/3=1";
    QTest::newRow("signed divisor") << 2 << "1/-3" << QList<double>(6, 1) << "1/-3=1";
    QTest::newRow("letters after a fraction") << 2 << "1/3abc" << QList<double>(6, 1) << "1/3abc=1";
    QTest::newRow("hexadecimal fraction") << 2 << "&H10/3" << QList<double>(6, 16) << "&H10/3=16";
    QTest::newRow("plus before a fraction") << 2 << "+1/3" << QList<double>(6, 1) << "+1/3=1";
    QTest::newRow("same pieces over a larger order")
        << 3 << "1 2 3 4 5 6" << QList<double>{1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6} << "";
}

void TestArrayText::fill()
{
    QFETCH(int, n);
    QFETCH(QString, text);
    QFETCH(QList<double>, rows);
    QFETCH(QString, misread);
    Workspace ws;
    ws.resize(n);
    QVERIFY(fillFromText(ws, n, text, QLocale::c()).has_value());
    QCOMPARE(matrixValues(ws), rows);
    const std::optional<MisreadPiece> first = firstMisreadPiece(text, n);
    const QString seen =
        first ? QStringLiteral("%1=%2%3%4")
                    .arg(first->piece)
                    .arg(first->value)
                    .arg(first->decimalComma ? QStringLiteral(",") : QString(),
                         first->divisionByZero ? QStringLiteral(" /0") : QString())
              : QString();
    QCOMPARE(seen, misread);
}

void TestArrayText::caption()
{
    Workspace ws;
    ws.resize(2);
    const auto caption = fillFromText(ws, 2, QStringLiteral("1 2 3 4 5 6"), QLocale::c());
    QCOMPARE(caption.value(), QStringLiteral("Массив\n\r  1  2   |   3\n\r  4  5   |   6"));

    ws.resize(10);
    const auto big = fillFromText(ws, 10, QStringLiteral("1.5 -2"), QLocale::c());
    QCOMPARE(big->count(QStringLiteral("\n\r")), 10);
    QCOMPARE(big->count(QStringLiteral("   |   ")), 10);
}

// The preview's first row, and every value the workspace keeps exactly
// (none when no piece is a fraction), at order 2.
void TestArrayText::fractionsKeptExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<QString>("exact");
    QTest::newRow("lowest terms beside decimals")
        << "2/6 -4/14 0.1 −1.5/3 7 1e2/4" << "  1/3  -2/7   |   0,1"
        << "1/3 -2/7 1/10 -1/2 7 25";
    QTest::newRow("shortest decimals over each other")
        << "1e-300/3 0.1/0.3 3" << "  1/3" + QString(300, u'0') + "  1/3   |   3"
        << "1/3" + QString(300, u'0') + " 1/3 3 1/3" + QString(300, u'0') + " 1/3 3";
    QTest::newRow("whole past a double") << "1e300/1e-300 1 2" << "  1" + QString(600, u'0') + "  1   |   2"
                                         << "1" + QString(600, u'0') + " 1 2 1" + QString(600, u'0') + " 1 2";
    QTest::newRow("no fraction, nothing kept") << "0.5 1/0 2" << "  0,5  1   |   2" << "";
}

void TestArrayText::fractionsKeptExactly()
{
    QFETCH(QString, text);
    QFETCH(QString, firstRow);
    QFETCH(QString, exact);
    Workspace ws;
    ws.resize(2);
    const auto caption = fillFromText(ws, 2, text, QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(caption->section(QStringLiteral("\n\r"), 1, 1), firstRow);
    QStringList kept;
    for (int i = 0; ws.exact() && i < 2; ++i)
        for (int j = 0; j < 3; ++j) {
            kept << QString::fromStdString(ws.exact()->value(i, j).get_str());
            QCOMPARE(ws.at(i, j), nearestDouble(ws.exact()->value(i, j)));
        }
    QCOMPARE(kept.join(u' '), exact);
    QVERIFY(!ws.exactIsSolved());
    // "Выгрузить массив" leaves nothing of them.
    ws.unload();
    QVERIFY(!ws.exact() && ws.fractionCells().empty());
}

void TestArrayText::captionUnderRussianSettings()
{
    Workspace ws;
    ws.resize(2);
    const auto caption =
        fillFromText(ws, 2, QStringLiteral("0.5 2 3 4 5 6"), QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY(caption->startsWith(QStringLiteral("Массив\n\r  0,5  2")));
}

void TestArrayText::emptyTextChangesNothing()
{
    Workspace ws;
    ws.resize(2);
    fillFromText(ws, 2, QStringLiteral("1 2 3 4 5 6"), QLocale::c());
    QVERIFY(!fillFromText(ws, 2, QString(), QLocale::c()).has_value());
    QCOMPARE(matrixValues(ws), (QList<double>{1, 2, 3, 4, 5, 6}));
}

void TestArrayText::contentsChangeKeepsAnswers()
{
    Workspace ws;
    ws.resize(2);
    ws.answers()[1] = 3.0;
    fillFromText(ws, 2, QStringLiteral("9 9"), QLocale::c());
    QCOMPARE(ws.answers().size(), std::size_t(2));
    QCOMPARE(std::get<double>(ws.answers()[1]), 3.0);
}

void TestArrayText::unloadedWorkspaceIsResized()
{
    Workspace ws;
    ws.unload();
    fillFromText(ws, 3, QStringLiteral("1"), QLocale::c());
    QCOMPARE(ws.order(), 3);
    QCOMPARE(ws.at(2, 3), 1.0);
}

void TestArrayText::order_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("4") << "4" << 4;
    QTest::newRow("10") << "10" << 10;
    QTest::newRow("half to even") << "2.5" << 2;
    QTest::newRow("nonsense") << "x" << 1;
}

void TestArrayText::order()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(orderFromText(text), expected);
}

void TestArrayText::previewShowsOneRowPerLine()
{
    QCOMPARE(previewForDisplay(QStringLiteral("Массив\n\r  1   |   2\n\r  3   |   4")),
             QStringLiteral("Массив\n  1   |   2\n  3   |   4"));
}

void TestArrayText::randomContentsAreRepeatable()
{
    RandomSource a;
    RandomSource b;
    const QString first = randomContents(a, 4);
    QCOMPARE(first, randomContents(b, 4));
    // What the editor shows when it first opens, the same in every version.
    QCOMPARE(first, QStringLiteral("4 1 2 5 8 9 2 7 5 4 9 8 9 3 6 4 8 0 9 8 "));
    QCOMPARE(first.size(), 40);
    const QStringList pieces = splitPieces(first);
    QCOMPARE(pieces.size(), 21);
    QCOMPARE(pieces.last(), QString());
    for (int i = 0; i < 20; ++i)
        QVERIFY(pieces[i].size() == 1 && pieces[i][0].isDigit());
    QVERIFY(randomContents(a, 4) != first);
}

void TestArrayText::randomOrderStaysInRange()
{
    RandomSource random;
    QSet<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const float r = RandomSource(random).next();
        QVERIFY(r >= 0.0f && r < 1.0f);
        const int position = randomOrderPosition(random);
        QVERIFY(position >= 2 && position <= 10);
        seen.insert(position);
    }
    QCOMPARE(seen.size(), 9);
}

void TestArrayText::pastedSystem_data()
{
    QTest::addColumn<QString>("paste");
    QTest::addColumn<PastedSystem::Kind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("order");
    const QString nbsp(QChar(0x00A0));
    using enum PastedSystem::Kind;
    QTest::newRow("no line break is typed text") << "1,5 2" << Typed << "" << 0;
    QTest::newRow("spreadsheet rows with CR LF")
        << "2\t1\t5\r\n1\t3\t10\r\n" << System << "2 1 5 1 3 10" << 2;
    QTest::newRow("text file rows, runs of blanks")
        << "\n  \n 2   1  5 \n1 3 10\n\n" << System << "2 1 5 1 3 10" << 2;
    QTest::newRow("lone CR ends a line too") << "1 2 3\r4 5 6" << System << "1 2 3 4 5 6" << 2;
    QTest::newRow("empty cells between tabs are 0")
        << "\t1\t\n2\t\t3" << System << "0 1 0 2 0 3" << 2;
    QTest::newRow("blanks around tab cells dropped") << " 1 \t 2\t3 \n4\t5\t6" << System
                                                     << "1 2 3 4 5 6" << 2;
    QTest::newRow("Russian numbers") << "-2,5\t1" + nbsp + "234,75\t0,5\n1\t1\t1" << System
                                     << "-2.5 1234.75 0.5 1 1 1" << 2;
    QTest::newRow("narrow no-break space groups too")
        << QStringLiteral("1\u202F000 2 3\n4 5 6") << System << "1000 2 3 4 5 6" << 2;
    QTest::newRow("other commas left for the parse")
        << "1,2,3 ,5 5, 1.5,2\n2,x" << System << "1,2,3 ,5 5, 1.5,2 2,x" << 0;
    QTest::newRow("ragged rows keep the order") << "1 2 3\n4 5" << System << "1 2 3 4 5" << 0;
    QTest::newRow("blank line inside is a row") << "1 2 3\n\n4 5 6" << System << "1 2 3 4 5 6"
                                                << 0;
    QTest::newRow("one row is no system") << "1\t2\t3" << System << "1 2 3" << 0;
    QTest::newRow("eleven rows are too many")
        << QStringList(11, QStringLiteral("1 1 1 1 1 1 1 1 1 1 1 1")).join(u'\n') << System
        << QStringList(11 * 12, QStringLiteral("1")).join(u' ') << 0;

    QTest::newRow("one cell and a line break") << "0\r\n" << Cell << "0" << 0;
    QTest::newRow("one Russian cell") << "\n-1" + nbsp + "234,5\n" << Cell << "-1234.5" << 0;
    QTest::newRow("thousands in a tab cell") << "2\t1\t5\n1 000\t3\t10" << System
                                             << "2 1 5 1000 3 10" << 2;
    QTest::newRow("two groups of thousands") << "1 234 567,5;2" << System << "1234567.5 2" << 0;
    QTest::newRow("blank after a sign") << "- 1\t2\t3\n4\t5\t+ 6" << System << "-1 2 3 4 5 +6"
                                        << 2;
    QTest::newRow("blank inside a cell refuses") << "2\t1\t5\n1 2\t3\t10" << Refused << "1 2"
                                                 << 0;
    QTest::newRow("group of two is no group") << "12 34\t1" << Refused << "12 34" << 0;
    QTest::newRow("two blanks in a group") << "1  000\t1" << Refused << "1  000" << 0;
    QTest::newRow("fractions in cells") << "1/3\t-2,5/3\t5\n1\t−1/2\t1" << System
                                        << "1/3 -2.5/3 5 1 −1/2 1" << 2;
    QTest::newRow("semicolons count as tabs") << "1,5;2;3,5" << System << "1.5 2 3.5" << 0;
    QTest::newRow("semicolon rows") << "1;2;3\n4;5;6\n" << System << "1 2 3 4 5 6" << 2;
    QTest::newRow("one cell over the bound")
        << QString(QStringLiteral("1\t")).repeated(kMostValues) + "1" << Refused << "" << 0;
    QTest::newRow("exactly the bound in cells")
        << QString(QStringLiteral("1\t")).repeated(kMostValues - 1) + "1" << System
        << QStringList(kMostValues, QStringLiteral("1")).join(u' ') << 0;
    QTest::newRow("exactly the bound typed, a blank after each")
        << QString(QStringLiteral("1 ")).repeated(kMostValues) << Typed << "" << 0;
    QTest::newRow("one typed piece over the bound")
        << QString(QStringLiteral("1 ")).repeated(kMostValues) + "1" << Refused << "" << 0;

    // Ten rows of eleven cells from a spreadsheet under Russian settings.
    QStringList rows;
    QStringList cells;
    for (int i = 0; i < 10; ++i) {
        QStringList row;
        for (int j = 0; j <= 10; ++j) {
            row << QString::number(i + 1) + nbsp + QStringLiteral("234,") + QString::number(j);
            cells << QString::number(i + 1) + QStringLiteral("234.") + QString::number(j);
        }
        rows << row.join(u'\t');
    }
    QTest::newRow("order ten") << rows.join(QStringLiteral("\r\n")) + "\r\n" << System
                               << cells.join(u' ') << 10;
}

void TestArrayText::pastedSystem()
{
    QFETCH(QString, paste);
    QFETCH(PastedSystem::Kind, kind);
    QFETCH(QString, text);
    QFETCH(int, order);
    const PastedSystem system = readPastedSystem(paste);
    QCOMPARE(system.kind, kind);
    QCOMPARE(system.text, text);
    QCOMPARE(system.order, order);
}

// The Hilbert matrix of order 10, 1/(i + j - 1), typed into the array text
// as fractions, with b = e1 or the row sums; the same typed in 17-digit
// decimals is another system, and is not taken for the fractions.
void TestArrayText::hilbertInFractions_data()
{
    QTest::addColumn<bool>("rowSums");
    QTest::addColumn<QString>("answerLine");
    QTest::newRow("b = e1") << false
                            << QStringLiteral("100,000  -4950,000  79200,000  -600600,000  2522520,000  "
                                              "-6306300,000  9609600,000  -8751600,000  4375800,000  "
                                              "-923780,000  ");
    QTest::newRow("row sums") << true << QStringLiteral("1,000  ").repeated(10);
}

void TestArrayText::hilbertInFractions()
{
    QFETCH(bool, rowSums);
    QFETCH(QString, answerLine);
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    constexpr int n = 10;
    QStringList fractions, decimals;
    for (int i = 1; i <= n; ++i) {
        mpq_class sum = 0;
        for (int j = 1; j <= n; ++j) {
            const mpq_class h(1, i + j - 1);
            sum += h;
            fractions << QString::fromStdString(h.get_str());
            decimals << QString::number(h.get_d(), 'g', 17);
        }
        const mpq_class b = rowSums ? sum : mpq_class(i == 1);
        fractions << QString::fromStdString(b.get_str());
        decimals << QString::number(b.get_d(), 'g', 17);
    }
    Workspace ws, typedDecimals;
    QVERIFY(fillFromText(ws, n, fractions.join(u' '), russian));
    QVERIFY(fillFromText(typedDecimals, n, decimals.join(u' '), russian));
    const SolveResult result = solve(ws, russian);
    QCOMPARE(result.outcome, SolveResult::Outcome::Solved);
    QCOMPARE(result.answerLine, answerLine);
    QVERIFY(!result.record.again);
    QVERIFY(QRegularExpression(QStringLiteral("^((-?\\d+,\\d{3}  ){11}\r\n){10}$"))
                .match(result.matrixText)
                .hasMatch());

    const SolveResult fromDecimals = solve(typedDecimals, russian);
    QVERIFY(fromDecimals.record.answers() != result.record.answers());
    if (!rowSums)
        QVERIFY(fromDecimals.answerLine != answerLine);

    // Solved again from the matrix it left, exactly.
    const SolveResult again = solve(ws, russian);
    QVERIFY(again.record.again);
    QCOMPARE(again.answerLine, answerLine);
}

QTEST_APPLESS_MAIN(TestArrayText)
#include "tst_arraytext.moc"
