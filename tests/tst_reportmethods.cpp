// SPDX-License-Identifier: GPL-3.0-or-later
// The report's methods as text: Gauss-Jordan, Cramer's rule and the
// inverse matrix, by both pivot rules, against the kind, ranks and answers
// of Gauss, with det A and A^(-1) checked exactly.
#include "core/text/exacttext.h"
#include "core/report/reporttext.h"
#include "reportsupport.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace ravno;
using namespace ravno::test;

class TestReportMethods : public QObject
{
    Q_OBJECT
private slots:
    void methods_data();
    void methods();
    void gaussJordanEndsReduced();
};

void TestReportMethods::methods_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<Method>("method");
    QTest::addColumn<QStringList>("lines");
    const QString worked = QStringLiteral("2 1 5 1 3 10");
    QTest::newRow("Cramer, order 2") << 2 << worked << Method::Cramer
                                     << QStringList{"Δ = 2·3 - 1·1 = 5", "Δ1 = 5·3 - 1·10 = 5",
                                                    "Δ2 = 2·10 - 5·1 = 15", "x1 = Δ1 / Δ = 5 / 5 = 1",
                                                    "x2 = Δ2 / Δ = 15 / 5 = 3", "det A = 5"};
    QTest::newRow("Cramer, the system's values as typed") << 2 << "0.5 1 2 1 3 10" << Method::Cramer
                                                         << QStringList{"  0,5 1", "Δ = 0,5·3 - 1·1 = 1/2",
                                                                        "x2 = Δ2 / Δ = 3 / (1/2) = 6"};
    QTest::newRow("Cramer, order 3 by the rule of triangles")
        << 3 << "2 1 -1 8 -3 -1 2 -11 -2 1 2 -3" << Method::Cramer
        << QStringList{"Δ = 2·(-1)·2 + 1·2·(-2) + (-1)·(-3)·1 - (-1)·(-1)·(-2) - 2·2·1 - 1·(-3)·2 = -1",
                       "x3 = Δ3 / Δ = 1 / (-1) = -1", "det A = -1"};
    QTest::newRow("Cramer, order 4 by elimination")
        << 4 << "1 2 0 4 1 4 1 0 1 2 0 -3 2 1 1 1 1 1 1 1" << Method::Cramer
        << QStringList{"столбец 1: главный элемент 4, строки 1 и 2 меняются местами (знак меняется)",
                       "столбец 4: главный элемент 32/9", "Δ = -(4 · (-3) · 3/2 · 32/9) = 64",
                       "Δ2 = 4 · 1 · (-1) · 1/4 = -1", "x1 = Δ1 / Δ = 30 / 64 = 15/32"};
    // A pivot of a row over a denominator of its own.
    QTest::newRow("Cramer, order 4, a row in halves")
        << 4 << "1 2 0 4 1 4 1 0 1 2 0.5 -3 2 1 1 1 1 1 1 1" << Method::Cramer
        << QStringList{"Δ = -(4 · (-25/8) · 37/25 · 130/37) = 65", "Δ1 = -(2 · (-7/2) · 9/7 · 10/3) = 30"};
    QTest::newRow("Cramer, order 4, a zero column")
        << 4 << "1 2 0 4 1 2 4 1 0 1 3 6 0 1 1 1 2 1 1 1" << Method::Cramer
        << QStringList{"столбец 2: на диагонали и ниже одни нули, поэтому Δ = 0",
                       "Δ = 0: правило Крамера неприменимо, система исследуется методом Гаусса"};
    QTest::newRow("Cramer, singular, infinitely many")
        << 2 << "1 2 3 2 4 6" << Method::Cramer
        << QStringList{"Δ = 1·4 - 2·2 = 0", "Δ = 0: правило Крамера неприменимо, система исследуется методом Гаусса",
                       "4. Исследование системы", "x1 = 3 - 2·t1", "det A = 0: матрица системы вырождена"};
    QTest::newRow("inverse, order 2") << 2 << worked << Method::Inverse
                                      << QStringList{"  1 0 |  3/5 -1/5", "  0 1 | -1/5  2/5",
                                                     "x1 = (3/5)·5 + (-1/5)·10 = 1", "x2 = 3", "det A = 5",
                                                     "A^(-1) =", "   3/5 -1/5", "  -1/5  2/5"};
    // Row 3 no longer fits a machine word in column 1, row 2 over its own
    // denominator did.
    QTest::newRow("inverse, a row past a word")
        << 3 << "4000000000 1 1 1 0.5 1 0 1 3000000000 3000000000 1 1" << Method::Inverse
        << QStringList{"  0 7999999999/8000000000 -1,25·10^-10 | -1,25·10^-10 1 0", "det A = 4999999999/2",
                       "x3 = -23999999989000000001/4999999999"};
    QTest::newRow("inverse, singular, inconsistent")
        << 2 << "1 2 3 2 4 7" << Method::Inverse
        << QStringList{"Столбец 2: на диагонали и ниже одни нули: матрица A вырождена, обратной матрицы не "
                       "существует (det A = 0)",
                       "Ранг матрицы системы 1 меньше ранга расширенной матрицы 2, поэтому система несовместна "
                       "(теорема Кронекера — Капелли)",
                       "det A = 0: матрица системы вырождена"};
}

void TestReportMethods::methods()
{
    QFETCH(int, order);
    QFETCH(QString, contents);
    QFETCH(Method, method);
    QFETCH(QStringList, lines);
    checkLines(order, contents, lines, method);
}

// A value as the plain text writes it: "-17/4", "2,5", "1·10^15".
mpq_class valueOf(QString text)
{
    mpq_class scale = 1;
    if (const qsizetype power = text.indexOf(QStringLiteral("·10^")); power >= 0) {
        mpz_class ten;
        mpz_ui_pow_ui(ten.get_mpz_t(), 10, std::abs(text.mid(power + 4).toInt()));
        scale = text.mid(power + 4).toInt() < 0 ? mpq_class(1, ten) : mpq_class(ten);
        text.truncate(power);
    }
    if (const qsizetype comma = text.indexOf(u','); comma >= 0) {
        mpz_class ten;
        mpz_ui_pow_ui(ten.get_mpz_t(), 10, unsigned(text.size() - comma - 1));
        scale /= ten;
        text.remove(comma, 1);
    }
    mpq_class value(text.toStdString());
    value.canonicalize();
    return value * scale;
}

// The lines of the section under the heading that ends with `title`,
// matrices as their rows.
QStringList sectionOf(const std::vector<ReportBlock> &blocks, const QString &title)
{
    QStringList lines;
    bool in = false;
    for (const ReportBlock &block : blocks) {
        if (block.kind == ReportBlock::Kind::Heading)
            in = block.text.endsWith(title);
        else if (in)
            lines << block.text << (block.rows.empty() ? QStringList() : block.rows.back());
    }
    return lines;
}

// Cramer's rule and the inverse matrix give the answers, or the study,
// of Gauss, and det A: Cramer's Δ is the product of Gauss's pivots with
// the exchanges' sign, and A·A^(-1) = E.
void methodsAgree(const Report &report)
{
    const int n = report.order;
    const ExactMatrix system = report.system.matrix();
    const auto blocks = [&](Method method) { return reportBlocks(report, kRussian, Length::Whole, method); };
    const std::vector<ReportBlock> gauss = blocks(Method::Gauss);
    mpq_class det = 0;
    if (report.unique) {
        const ExactMatrix triangular = report.lastMatrix().matrix();
        det = 1;
        for (int i = 0; i < n; ++i)
            det *= triangular[std::size_t(i)][std::size_t(i)];
        for (const ReportStep &done : report.steps)
            if (done.step.pivotRow != done.row)
                det = -det;
    }
    const QString title = report.unique ? QStringLiteral("Ответ") : QStringLiteral("Исследование системы");
    for (const Method method : {Method::Cramer, Method::Inverse}) {
        const std::vector<ReportBlock> shown = blocks(method);
        QCOMPARE(sectionOf(shown, title), sectionOf(gauss, title));
        const QStringList results = sectionOf(shown, method == Method::Inverse && report.unique ? QStringLiteral("обратная матрица")
                                                                               : QStringLiteral("Определитель"));
        QVERIFY(!results.isEmpty() && results.first().startsWith(QStringLiteral("det A = ")));
        QCOMPARE(valueOf(results.first().mid(8).section(u':', 0, 0)), det);
        if (method == Method::Cramer) {
            const auto delta = std::find_if(shown.begin(), shown.end(), [](const ReportBlock &b) {
                return (b.text.startsWith(QStringLiteral("Δ = ")) && !b.text.contains(QStringLiteral("неприменимо")))
                       || b.text.endsWith(QStringLiteral("поэтому Δ = 0"));
            });
            QVERIFY(delta != shown.end());
            QCOMPARE(valueOf(delta->text.section(QStringLiteral(" = "), -1)), det);
            // Each "xi = Δi / Δ = a / b = x" divides out: a Δi worked out
            // wrong shows.
            const auto unbracketed = [](QString t) { return valueOf(t.remove(u'(').remove(u')')); };
            int quotients = 0;
            for (const ReportBlock &b : shown) {
                const QStringList parts = b.text.split(QStringLiteral(" = "));
                if (parts.size() != 4 || !parts[1].endsWith(QStringLiteral(" / Δ")))
                    continue;
                ++quotients;
                QCOMPARE(unbracketed(parts[2].section(QStringLiteral(" / "), 0, 0))
                             / unbracketed(parts[2].section(QStringLiteral(" / "), 1, 1)),
                         valueOf(parts[3]));
            }
            QCOMPARE(quotients, det == 0 ? 0 : n);
        } else if (report.unique) {
            const ReportBlock &inverse = shown.back();
            QCOMPARE(inverse.rows.size(), std::size_t(n));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    mpq_class product = 0;
                    for (int k = 0; k < n; ++k)
                        product += system[std::size_t(i)][std::size_t(k)] * valueOf(inverse.rows[std::size_t(k)][j]);
                    QCOMPARE(product, mpq_class(i == j ? 1 : 0));
                }
        }
    }
}

// Gauss–Jordan ends in the reduced row echelon form that the report's kind,
// ranks and answers describe: for random systems of orders 2..10, regular
// and singular, of digits, integers and decimals.
void TestReportMethods::gaussJordanEndsReduced()
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
    // The last few of 17 digits over exponents -40..40, whose eliminations
    // run into long whole numbers.
    for (int run = 0; run < 304; ++run) {
        const int n = run < 300 ? 2 + int(random.bounded(9)) : 10;
        QStringList pieces;
        for (int k = 0; k < n * (n + 1); ++k) {
            const int kind = run < 300 ? run % 3 : 3;
            const int v = int(random.bounded(kind == 0 ? 10 : 41)) - (kind == 0 ? 0 : 20);
            pieces << (kind == 3   ? QStringLiteral("%1.%2E%3").arg(v).arg(random.bounded(1000000000000000ULL))
                                                                   .arg(int(random.bounded(81)) - 40)
                       : kind == 2 ? QString::number(v / 4.0)
                                   : QString::number(v));
        }
        // Every fourth system has its last row the sum of the first two: singular.
        if (run % 4 == 3)
            for (int j = 0; j <= n; ++j)
                pieces[(n - 1) * (n + 1) + j] = QString::number(pieces[j].toDouble() + pieces[n + 1 + j].toDouble());
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
                const auto nonZero = [](const QString &c) { return c != u"0"; };
                const qsizetype lead = std::find_if(row.begin(), row.end() - 1, nonZero) - row.begin();
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
            methodsAgree(report);
        }
    }
}


QTEST_GUILESS_MAIN(TestReportMethods)
#include "tst_reportmethods.moc"
