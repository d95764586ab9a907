// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/exacttext.h"

#include "core/text/answerformat.h"

#include <string>

namespace ravno {
namespace {

// The decimal digits of |value| when its decimal form ends: digits without
// trailing zeros, the first at 10^exponent.
struct DecimalDigits
{
    std::string digits;
    long exponent = 0;
};

bool decimalDigits(const mpq_class &value, DecimalDigits &out)
{
    mpz_class rest = value.get_den();
    const mp_bitcnt_t twos = mpz_scan1(rest.get_mpz_t(), 0);
    mpz_tdiv_q_2exp(rest.get_mpz_t(), rest.get_mpz_t(), twos);
    const mpz_class five = 5;
    const mp_bitcnt_t fives = mpz_remove(rest.get_mpz_t(), rest.get_mpz_t(), five.get_mpz_t());
    if (rest != 1)
        return false;
    // |value| = scaled / 10^scale with scaled whole.
    const unsigned long scale = twos > fives ? twos : fives;
    mpz_class scaled = abs(value.get_num());
    mpz_class factor;
    mpz_ui_pow_ui(factor.get_mpz_t(), 2, scale - twos);
    scaled *= factor;
    mpz_ui_pow_ui(factor.get_mpz_t(), 5, scale - fives);
    scaled *= factor;
    out.digits = scaled.get_str();
    out.exponent = long(out.digits.size()) - 1 - long(scale);
    const std::size_t last = out.digits.find_last_not_of('0');
    out.digits.resize(last == std::string::npos ? 1 : last + 1);
    if (scaled == 0)
        out.exponent = 0;
    return true;
}

// "·10¹⁵" in the report's text, "·10^15" in plain text.
QString powerOfTen(long exponent, Length length)
{
    const QString digits = QString::number(exponent);
    if (length == Length::Whole)
        return QStringLiteral("·10^") + digits;
    static const QString superscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString out = QStringLiteral("·10");
    for (const QChar c : digits)
        out += c == u'-' ? QChar(u'⁻') : superscripts[c.digitValue()];
    return out;
}

// The digits in general form, with "." for the separator.
QString generalForm(bool negative, const DecimalDigits &d, Length length)
{
    std::string out = negative ? "-" : "";
    const long count = long(d.digits.size());
    if (d.exponent >= 15 || d.exponent < -4) {
        out += d.digits[0];
        if (count > 1)
            out += '.' + d.digits.substr(1);
        return QString::fromStdString(out) + powerOfTen(d.exponent, length);
    }
    if (d.exponent < 0)
        out += "0." + std::string(std::size_t(-d.exponent - 1), '0') + d.digits;
    else if (const long whole = d.exponent + 1; count <= whole)
        out += d.digits + std::string(std::size_t(whole - count), '0');
    else
        out += d.digits.substr(0, std::size_t(whole)) + '.' + d.digits.substr(std::size_t(whole));
    return QString::fromStdString(out);
}

long digitCount(const mpz_class &value)
{
    if (value == 0)
        return 1;
    // sizeinbase may count one digit too many.
    const long guess = long(mpz_sizeinbase(value.get_mpz_t(), 10));
    mpz_class lowest;
    mpz_ui_pow_ui(lowest.get_mpz_t(), 10, (unsigned long)(guess - 1));
    return mpz_cmpabs(value.get_mpz_t(), lowest.get_mpz_t()) >= 0 ? guess : guess - 1;
}

// |value| to four significant digits, rounded half away from zero, as
// "≈ 1,429·10²⁹⁹ (300 цифр)": the count is that of the digits before the
// separator, and a value below 1 in magnitude has none.
QString shortened(const mpq_class &value, const QLocale &locale)
{
    const mpz_class num = abs(value.get_num());
    const mpz_class &den = value.get_den();
    long exponent = digitCount(num) - digitCount(den);
    mpz_class first;
    for (int tries = 0; tries < 3; ++tries) {
        // first = floor(|value|·10^(3 - exponent) + 1/2)
        mpz_class top = 2 * num, bottom = 2 * den, power;
        mpz_ui_pow_ui(power.get_mpz_t(), 10, (unsigned long)(exponent > 3 ? exponent - 3 : 3 - exponent));
        if (exponent > 3)
            bottom *= power;
        else
            top *= power;
        top += bottom / 2;
        mpz_fdiv_q(first.get_mpz_t(), top.get_mpz_t(), bottom.get_mpz_t());
        if (first >= 10000)
            ++exponent;
        else if (first < 1000)
            --exponent;
        else
            break;
    }
    const std::string digits = first.get_str();
    QString shown = value < 0 ? QStringLiteral("−") : QString();
    shown += QChar(digits[0]) + locale.decimalPoint() + QString::fromLatin1(digits.substr(1, 3).c_str());
    if (exponent != 0)
        shown += powerOfTen(exponent, Length::Short);
    // The digits before the separator: exponent + 1, unless the rounding
    // carried into the exponent (9,9996 shown as 1,000·10¹).
    long whole = exponent + 1;
    if (exponent >= 0) {
        mpz_class power;
        mpz_ui_pow_ui(power.get_mpz_t(), 10, (unsigned long)exponent);
        if (num < den * power)
            --whole;
    }
    if (whole <= 0)
        return QStringLiteral("≈ ") + shown;
    return QStringLiteral("≈ %1 (%2)").arg(shown, countWithWord(whole, "цифра", "цифры", "цифр"));
}

// Whether the value is written as a decimal (d filled in) or a fraction.
bool asDecimal(const mpq_class &value, Notation notation, DecimalDigits &d)
{
    return decimalDigits(value, d) && (notation == Notation::Decimal || value.get_den() == 1 || d.exponent < -4);
}

long textDigits(const mpq_class &value, Notation notation)
{
    DecimalDigits d;
    if (asDecimal(value, notation, d))
        return long(d.digits.size());
    return digitCount(value.get_num()) + digitCount(value.get_den());
}

} // namespace

std::vector<TextRun> exponentRuns(const QString &text)
{
    static const QString raised = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹⁻");
    static const QString plain = QStringLiteral("0123456789−");
    std::vector<TextRun> out;
    for (const QChar c : text) {
        const qsizetype at = raised.indexOf(c);
        if (out.empty() || out.back().raised != (at >= 0))
            out.push_back({QString(), at >= 0});
        out.back().text += at >= 0 ? plain[at] : c;
    }
    return out;
}

bool isLong(const mpq_class &value, Notation notation)
{
    return textDigits(value, notation) > kLongDigits;
}

QString exactText(const mpq_class &value, const QLocale &locale, Length length, Notation notation)
{
    if (length != Length::Whole && isLong(value, notation))
        return shortened(value, locale);
    QString out;
    DecimalDigits d;
    if (asDecimal(value, notation, d)) {
        out = generalForm(value < 0, d, length);
        const QString separator = locale.decimalPoint();
        if (separator != QLatin1String("."))
            out.replace(u'.', separator);
    } else {
        out = QString::fromStdString(value.get_num().get_str() + '/' + value.get_den().get_str());
    }
    if (length != Length::Whole && value < 0)
        out[0] = u'−';
    return out;
}

namespace {

// Whether num/den (den > 0, num not 0, in any terms) is written shortened
// without reducing it: a magnitude beyond 10^41 leaves more than 40 digits
// to its numerator in lowest terms, one below 10^-41 to its denominator,
// unless its decimal form ends (den has no prime factor but 2 and 5 once
// reduced) and it may be written as a decimal. False where that takes
// reducing it.
bool plainlyLong(const mpz_class &num, const mpz_class &den)
{
    // sizeinbase counts the digits or one more.
    const long apart = long(mpz_sizeinbase(num.get_mpz_t(), 10)) - long(mpz_sizeinbase(den.get_mpz_t(), 10));
    if (apart < kLongDigits + 3 && apart > -(kLongDigits + 3))
        return false;
    mpz_class rest;
    mpz_tdiv_q_2exp(rest.get_mpz_t(), den.get_mpz_t(), mpz_scan1(den.get_mpz_t(), 0));
    const mpz_class five = 5;
    mpz_remove(rest.get_mpz_t(), rest.get_mpz_t(), five.get_mpz_t());
    return !mpz_divisible_p(num.get_mpz_t(), rest.get_mpz_t());
}

} // namespace

QString exactText(const mpz_class &num, const mpz_class &den, const QLocale &locale, Length length,
                  Notation notation)
{
    if (length != Length::Whole && sgn(num) != 0) {
        // As it is, for its magnitude only, over a positive denominator.
        const bool flip = sgn(den) < 0;
        const mpq_class value(flip ? mpz_class(-num) : num, flip ? mpz_class(-den) : den);
        if (plainlyLong(value.get_num(), value.get_den()))
            return shortened(value, locale);
    }
    mpq_class value(num, den);
    value.canonicalize();
    return exactText(value, locale, length, notation);
}

QString roundedText(const mpq_class &value, const QLocale &locale)
{
    QString out;
    appendAnswer(out, value.get_num(), value.get_den(), locale.decimalPoint());
    return out;
}

QString countWithWord(long count, const char *one, const char *few, const char *many)
{
    const long tens = count % 100;
    const long units = count % 10;
    const char *word = many;
    if (units == 1 && tens != 11)
        word = one;
    else if (units >= 2 && units <= 4 && (tens < 12 || tens > 14))
        word = few;
    return QString::number(count) + u' ' + QString::fromUtf8(word);
}

} // namespace ravno
