// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/numbertext.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace ravno;

namespace {

// The windows run under the C locale of the user's settings (QApplication
// sets it), where a Russian one writes numbers with a comma. While alive,
// puts the C library's numbers under the first such locale installed here.
class CommaNumbers
{
public:
    CommaNumbers()
    {
        m_saved = std::setlocale(LC_NUMERIC, nullptr);
        for (const char *name : {"ru_RU.UTF-8", "ru_RU.utf8", "ru_RU.CP1251", "de_DE.UTF-8",
                                 "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_NUMERIC, name)) {
                m_active = true;
                return;
            }
        }
    }
    ~CommaNumbers() { std::setlocale(LC_NUMERIC, m_saved.c_str()); }
    bool active() const { return m_active; }

private:
    std::string m_saved;
    bool m_active = false;
};

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void parse_data();
    void parse();
    void roundHalfEven_data();
    void roundHalfEven();
    void answer_data();
    void answer();
    void answerUsesLocaleSeparator();
    void general_data();
    void general();
    void print_data();
    void print();
    void printReadsBack_data();
    void printReadsBack();
};

void TestNumberText::initTestCase()
{
    // The build compiles a Russian locale and points LOCPATH at it; then the
    // comma checks below must really run, not pass for want of a locale.
    if (qEnvironmentVariableIsSet("LOCPATH"))
        QVERIFY(CommaNumbers().active());
}

void TestNumberText::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("integer") << "42" << 42.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
    QTest::newRow("trailing letters") << "3abc" << 3.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("blanks inside") << " 1 2 3" << 123.0;
    QTest::newRow("tabs and line feeds") << "\t4\n5" << 45.0;
    QTest::newRow("carriage return stops") << "4\r5" << 4.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("exponent E") << "1.5E3" << 1500.0;
    QTest::newRow("exponent lower e") << "2e-2" << 0.02;
    QTest::newRow("exponent D") << "1D2" << 100.0;
    QTest::newRow("exponent without digits") << "7E" << 7.0;
    QTest::newRow("exponent sign without digits") << "7E+" << 7.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower") << "&hff" << 255.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("double sign") << "+-3" << 0.0;
    QTest::newRow("beyond double range") << "1E999" << 0.0;
    QTest::newRow("negative beyond range") << "-1E999" << 0.0;
    QTest::newRow("minus zero is zero") << "-0" << 0.0;
    QTest::newRow("Cyrillic letters") << "абв" << 0.0;
}

void TestNumberText::parse()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double value = parseLeadingNumber(text);
    QCOMPARE(value, expected);
    QVERIFY(!std::signbit(value) || expected < 0);
}

void TestNumberText::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("2.6") << 2.6 << 3.0;
    QTest::newRow("9.4") << 9.4 << 9.0;
}

void TestNumberText::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(ravno::roundHalfEven(value), expected);
}

void TestNumberText::answer_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 2.0 << "2.000";
    QTest::newRow("negative half") << -0.5 << "-0.500";
    QTest::newRow("rounds up") << 12.3456 << "12.346";
    QTest::newRow("zero") << 0.0 << "0.000";
    QTest::newRow("negative zero") << -0.0 << "0.000";
    QTest::newRow("half of shortest form") << 0.0625 << "0.063";
    QTest::newRow("1.0005 away from zero") << 1.0005 << "1.001";
    QTest::newRow("-2.0005 away from zero") << -2.0005 << "-2.001";
    QTest::newRow("carry into integer") << 9.9996 << "10.000";
    QTest::newRow("tiny negative rounds to zero") << -0.0001 << "0.000";
    QTest::newRow("just below half a thousandth") << 0.00049 << "0.000";
    QTest::newRow("half a thousandth") << 0.0005 << "0.001";
    QTest::newRow("large") << 1234567.0 << "1234567.000";
    QTest::newRow("no grouping") << 1e20 << "100000000000000000000.000";
    QTest::newRow("one third") << 1.0 / 3.0 << "0.333";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "бесконечность";
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << "-бесконечность";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "не число";
}

void TestNumberText::answer()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(formatAnswer(value, QLocale::c()), expected);
}

void TestNumberText::answerUsesLocaleSeparator()
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QCOMPARE(formatAnswer(-1234.5, russian), QStringLiteral("-1234,500"));
    QCOMPARE(formatGeneral(2.5, russian), QStringLiteral("2,5"));
    QCOMPARE(formatGeneral(1.5e20, russian), QStringLiteral("1,5E+20"));
}

void TestNumberText::general_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 7.0 << "7";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative whole") << -3.0 << "-3";
    QTest::newRow("fraction") << 2.5 << "2.5";
    QTest::newRow("15 digits") << 123456789012345.0 << "123456789012345";
    QTest::newRow("1E+15") << 1e15 << "1E+15";
    QTest::newRow("rounded to 15 digits") << 0.1 + 0.2 << "0.3";
    QTest::newRow("one third") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("small fixed") << 0.0001 << "0.0001";
    QTest::newRow("small exponent") << 0.00001 << "1E-05";
    QTest::newRow("small with digits") << -1.25e-7 << "-1.25E-07";
    QTest::newRow("large with digits") << 1.23456789012346e17 << "1.23456789012346E+17";
    QTest::newRow("three-digit exponent") << 1e300 << "1E+300";
    QTest::newRow("negative zero") << -0.0 << "0";
}

void TestNumberText::general()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(formatGeneral(value, QLocale::c()), expected);
    const CommaNumbers comma;
    if (comma.active())
        QCOMPARE(formatGeneral(value, QLocale::c()), expected);
}

void TestNumberText::print_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("order 3 position") << 9.0 << " 9 ";
    QTest::newRow("zero") << 0.0 << " 0 ";
    QTest::newRow("minus two and a half") << -2.5 << "-2.5 ";
    QTest::newRow("fraction below one") << 0.125 << " 0.125 ";
    QTest::newRow("15 significant digits") << 1234.56789012345 << " 1234.56789012345 ";
    QTest::newRow("exponent") << 1e20 << " 1E+20 ";
    QTest::newRow("negative exponent") << -3e-9 << "-3E-09 ";
    QTest::newRow("largest double") << -1.7976931348623157e308 << "-1.7976931348623157E+308 ";
}

void TestNumberText::print()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(formatPrint(value), expected);
    const CommaNumbers comma;
    if (comma.active()) {
        QCOMPARE(formatPrint(value), expected);
        QCOMPARE(formatAnswer(value, QLocale::c()).contains(u','), false);
    }
}

void TestNumberText::printReadsBack_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("fraction") << 0.125;
    QTest::newRow("negative") << -1234.5678;
    QTest::newRow("large") << 6.02e23;
    QTest::newRow("small") << 1.6e-19;
    QTest::newRow("largest double") << 1.7976931348623157e308;
    QTest::newRow("needs 16 digits") << 9007199254740993.0 - 1;
    QTest::newRow("needs 17 digits") << 0.1 + 0.2;
    QTest::newRow("smallest subnormal") << 4.9406564584124654e-324;
}

void TestNumberText::printReadsBack()
{
    QFETCH(double, value);
    // Exactly: QCOMPARE of doubles forgives the last digits.
    const double back = parseLeadingNumber(formatPrint(value));
    QVERIFY2(back == value, qPrintable(formatPrint(value)));
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
