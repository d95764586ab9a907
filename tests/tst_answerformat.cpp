// SPDX-License-Identifier: GPL-3.0-or-later
// The answer form of a ratio beyond the numbers a double holds exactly: the
// nearest double and "##0.000", the same in every tier that finds them.
#include "core/text/answerformat.h"
#include "core/exact/exactnumber.h"

#include <QTest>

#include <bit>
#include <cmath>
#include <utility>

using namespace ravno;

class TestAnswerFormat : public QObject
{
    Q_OBJECT
private slots:
    void largeRatios_data();
    void largeRatios();
    void answerTiers_data();
    void answerTiers();
};

void TestAnswerFormat::largeRatios_data()
{
    // The nearest double (halves to even) and the answer form of num / den
    // beyond the numbers a double holds exactly, each way they are found:
    // machine words, two limbs, GMP beyond them.
    QTest::addColumn<QString>("num");
    QTest::addColumn<QString>("den");
    QTest::addColumn<double>("nearest");
    QTest::addColumn<QString>("text");
    QTest::newRow("words, tie down to even") << "9007199254740993" << "1" << 0x1p53 << "9007199254740993.000";
    QTest::newRow("words, tie up to even") << "9007199254740995" << "1" << 0x1.0000000000002p53
                                           << "9007199254740995.000";
    QTest::newRow("words, a third of a tie") << "27021597764222979" << "3" << 0x1p53 << "9007199254740993.000";
    QTest::newRow("words, above a tie") << "18014398509481987" << "2" << 0x1.0000000000001p53
                                        << "9007199254740993.500";
    QTest::newRow("words, negative tie") << "-9007199254740993" << "1" << -0x1p53 << "-9007199254740993.000";
    QTest::newRow("words, thousandths half way") << "1863543060870127742" << "4259526996274577696" << 0x1.cp-2
                                                 << "0.438";
    QTest::newRow("words, thousandths just below half way")
        << "42141843815802322" << "4013508934838316381" << 0x1.5810624dd2f1bp-7 << "0.010";
    QTest::newRow("two limbs, tie") << "10633823966279328163822077199654060032" << "1180591620717411303424"
                                    << 0x1p53 << "9007199254740993.000";
    QTest::newRow("two limbs, a third") << "1" << "3458764513820540928" << 0x1.5555555555555p-62 << "0.000";
    QTest::newRow("beyond two limbs, tie") << "10889035741470032039753807052445757472768"
                                           << "1208925819614629174706176" << 0x1p53 << "9007199254740993.000";
}

void TestAnswerFormat::largeRatios()
{
    QFETCH(QString, num);
    QFETCH(QString, den);
    QFETCH(double, nearest);
    QFETCH(QString, text);
    const mpz_class n(num.toStdString()), d(den.toStdString());
    std::vector<std::pair<double, QString>> found;
    char16_t written[32];
    char16_t *end = written;
    QVERIFY(writeAnswer(end, n, d, u'.'));
    found.emplace_back(nearestRatio(n, d), QString::fromUtf16(written, end - written));
    if (n.fits_slong_p() && d.fits_slong_p()) {
        end = written;
        QVERIFY(writeAnswer(end, std::int64_t(n.get_si()), std::int64_t(d.get_si()), u'.'));
        found.emplace_back(nearestRatio(std::int64_t(n.get_si()), std::int64_t(d.get_si())),
                           QString::fromUtf16(written, end - written));
    }
    for (const auto &[value, shown] : found) {
        QCOMPARE(std::bit_cast<quint64>(value), std::bit_cast<quint64>(nearest));
        QCOMPARE(shown, text);
    }
}

void TestAnswerFormat::answerTiers_data()
{
    // "##0.000" of num / den, whose count of thousandths every tier that
    // holds the operands finds alike: machine words, 128 bits, GMP.
    QTest::addColumn<QString>("num");
    QTest::addColumn<QString>("den");
    QTest::addColumn<QString>("text");
    QTest::newRow("words, above 2^53, two thirds") << "27021597764222981" << "3" << "9007199254740993.667";
    QTest::newRow("128 bits, above 2^53, half a thousandth")
        << "18014398509481986001" << "2000" << "9007199254740993.001";
    QTest::newRow("128 bits, above 2^53, two thirds")
        << "29710560942849128796602236928" << "3298534883328" << "9007199254740992.667";
    QTest::newRow("GMP, above 2^53, two thirds") << "34253944624943039680700063723246686266592329728"
                                                 << "3802951800684688204490109616128" << "9007199254740992.667";
    QTest::newRow("GMP, negative two thirds") << "-34253944624943039680700063723246686266592329728"
                                              << "3802951800684688204490109616128" << "-9007199254740992.667";
    QTest::newRow("GMP, a count beyond a word")
        << "4597486622597666577733497073020759296663831487111495680"
        << "3987683987354747618711421180841033728" << "1152921504606846976.667";
    QTest::newRow("words, a negative value that rounds to zero") << "-1" << "2001" << "0.000";
    // Random ratios of every size, against floor(|q| 1000 + 1/2) in fractions.
    QTest::newRow("random") << QString() << QString() << QString();
}

void TestAnswerFormat::answerTiers()
{
    QFETCH(QString, num);
    QFETCH(QString, den);
    QFETCH(QString, text);
    const auto check = [](const mpz_class &n, const mpz_class &d, const QString &expected) {
        const QByteArray where = QString::fromStdString(n.get_str() + " / " + d.get_str()).toUtf8();
        mpz_class big;
        bigThousandths(n, d, big);
        std::uint64_t count = 0;
        if (mpz_sizeinbase(n.get_mpz_t(), 2) <= 62 && mpz_sizeinbase(d.get_mpz_t(), 2) <= 62) {
            const bool fits = wordThousandths(magnitude(n.get_si()), d.get_ui(), count);
            QVERIFY2(fits ? mpz_class(count) == big : !mpz_fits_ulong_p(big.get_mpz_t()), where);
        }
        if (mpz_sizeinbase(n.get_mpz_t(), 2) <= 116 && mpz_sizeinbase(d.get_mpz_t(), 2) <= 126) {
            const bool fits = wideThousandths(wideMagnitude(n), wideMagnitude(d), count);
            QVERIFY2(fits ? mpz_class(count) == big : !mpz_fits_ulong_p(big.get_mpz_t()), where);
        }
        QString shown;
        appendAnswer(shown, n, d, u".");
        if (expected.isEmpty()) {
            mpq_class exact(n, d);
            exact.canonicalize();
            const mpq_class scaled = abs(exact) * 1000 + mpq_class(1, 2);
            mpz_class floor;
            mpz_fdiv_q(floor.get_mpz_t(), scaled.get_num_mpz_t(), scaled.get_den_mpz_t());
            QVERIFY2(big == floor, where);
        } else {
            QCOMPARE(shown, expected);
        }
    };
    if (!num.isEmpty()) {
        check(mpz_class(num.toStdString()), mpz_class(den.toStdString()), text);
        return;
    }
    gmp_randclass random(gmp_randinit_default);
    random.seed(37);
    for (const int bits : {20, 52, 62, 64, 100, 116, 126, 200})
        for (const int denBits : {1, 11, 40, 62, 90, 126, 150})
            for (int made = 0; made < 50; ++made) {
                mpz_class n = random.get_z_bits(bits), d = random.get_z_bits(denBits) + 1;
                // Half the values at least one half above a count of
                // thousandths: (n + 1/2 + r / 2d) / 1000.
                if (made % 2) {
                    n = (2 * n + 1) * d + random.get_z_range(d);
                    d *= 2000;
                }
                check(made % 3 ? n : mpz_class(-n), d, QString());
                if (QTest::currentTestFailed())
                    return;
            }
}

QTEST_APPLESS_MAIN(TestAnswerFormat)
#include "tst_answerformat.moc"
