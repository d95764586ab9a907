// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exact/exactnumber.h"

#include "core/text/answerformat.h"
#include "core/text/numbertext.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace ravno {

void shortestDecimal(double value, std::int64_t &digits, int &exponent)
{
    exponent = 0;
    if (!std::isfinite(value) || value == 0) {
        digits = 0;
        return;
    }
    // A whole number below 2^53 is its own shortest decimal.
    if (std::fabs(value) < 0x1p53 && value == std::trunc(value)) {
        digits = std::int64_t(value);
        return;
    }
    // "-d.ddde-XX": the digits without the point make an integer, scaled by
    // a power of ten. to_chars ignores the C locale.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const char *p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::int64_t whole = 0;
    int fractionDigits = -1;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p == '.')
            continue;
        whole = whole * 10 + (*p - '0');
        ++fractionDigits;
    }
    std::from_chars(p + (p[1] == '+' ? 2 : 1), res.ptr, exponent);
    exponent -= fractionDigits; // value = whole * 10^exponent
    // Trailing zeros belong to the exponent.
    while (whole % 10 == 0) {
        whole /= 10;
        ++exponent;
    }
    digits = negative ? -whole : whole;
}

mpq_class exactValue(double value)
{
    std::int64_t digits = 0;
    int scale = 0;
    shortestDecimal(value, digits, scale);
    const mpz_class whole(static_cast<signed long>(digits));
    if (scale == 0)
        return mpq_class(whole);
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, unsigned(std::abs(scale)));
    if (scale > 0)
        return mpq_class(whole * power);
    mpq_class result(whole, power);
    result.canonicalize();
    return result;
}

double nearestDouble(const mpq_class &value)
{
    return nearestRatio(value.get_num(), value.get_den());
}

namespace {

int bitLength(UnsignedWide v)
{
    const std::uint64_t high = std::uint64_t(v >> 64);
    return high ? 64 + std::bit_width(high) : std::bit_width(std::uint64_t(v));
}

// The double nearest num / den, halves to even, in 128-bit integers: num
// positive below 2^126, den positive below 2^74, so that both shifted
// operands of the one division stay below 2^128. Such a quotient is far
// inside the range of doubles.
double nearestQuotient(UnsignedWide num, UnsignedWide den)
{
    // floor(log2(num / den)): the bit lengths give it to within one.
    int top = bitLength(num) - bitLength(den);
    if (top >= 0 ? (den << top) > num : (num << -top) < den)
        --top;
    // 53 significant bits: the last one is worth 2^unit.
    const int unit = top - 52;
    const UnsignedWide a = unit >= 0 ? num : num << -unit;
    const UnsignedWide b = unit >= 0 ? den << unit : den;
    UnsignedWide quotient = a / b;
    const UnsignedWide twice = 2 * (a - quotient * b);
    if (twice > b || (twice == b && (quotient & 1)))
        ++quotient;
    return std::ldexp(double(std::uint64_t(quotient)), unit);
}

} // namespace

double nearestRatio(std::int64_t num, std::int64_t den)
{
    if (num == 0)
        return 0;
    const double value = nearestQuotient(magnitude(num), std::uint64_t(den));
    return num < 0 ? -value : value;
}

double nearestRatio(const mpz_class &signedNum, const mpz_class &den)
{
    const int sign = sgn(signedNum);
    if (sign == 0)
        return 0;
    // Both parts exact in a double: the division rounds once, to nearest.
    if (mpz_sizeinbase(signedNum.get_mpz_t(), 2) <= 53 && mpz_sizeinbase(den.get_mpz_t(), 2) <= 53)
        return signedNum.get_d() / den.get_d();
    if (mpz_size(signedNum.get_mpz_t()) <= 2 && mpz_size(den.get_mpz_t()) <= 2) {
        const UnsignedWide num = wideMagnitude(signedNum), d = wideMagnitude(den);
        if (bitLength(num) <= 125 && bitLength(d) <= 73)
            return sign * nearestQuotient(num, d);
    }
    // Working numbers kept from one call to the next: the solver asks this
    // of every value of the matrix it leaves, and allocations would cost
    // more than the arithmetic.
    thread_local mpz_class num, a, b, quotient, remainder;
    mpz_abs(num.get_mpz_t(), signedNum.get_mpz_t());

    // floor(log2 |value|): the bit lengths give it to within one.
    long top = long(mpz_sizeinbase(num.get_mpz_t(), 2)) - long(mpz_sizeinbase(den.get_mpz_t(), 2));
    if (top >= 0) {
        mpz_mul_2exp(b.get_mpz_t(), den.get_mpz_t(), mp_bitcnt_t(top));
        if (cmp(num, b) < 0)
            --top;
    } else {
        mpz_mul_2exp(a.get_mpz_t(), num.get_mpz_t(), mp_bitcnt_t(-top));
        if (cmp(a, den) < 0)
            --top;
    }
    if (top > std::numeric_limits<double>::max_exponent)
        return sign * std::numeric_limits<double>::infinity();

    // 53 significant bits, fewer below the normal range: the last one is
    // worth 2^unit. Round the quotient to nearest, halves to even.
    const long unit = std::max(top - 52, long(std::numeric_limits<double>::min_exponent - 53));
    if (unit >= 0) {
        a = num;
        mpz_mul_2exp(b.get_mpz_t(), den.get_mpz_t(), mp_bitcnt_t(unit));
    } else {
        mpz_mul_2exp(a.get_mpz_t(), num.get_mpz_t(), mp_bitcnt_t(-unit));
        b = den;
    }
    mpz_tdiv_qr(quotient.get_mpz_t(), remainder.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
    remainder <<= 1;
    const int half = cmp(remainder, b);
    if (half > 0 || (half == 0 && mpz_odd_p(quotient.get_mpz_t())))
        ++quotient;
    if (quotient == 0)
        return 0; // no negative zero
    // At most 2^53, so exact in a double; ldexp overflows to infinity.
    return sign * std::ldexp(quotient.get_d(), int(unit));
}

QString formatExact(const mpq_class &value, const QLocale &locale)
{
    QString out;
    appendExact(out, value, locale.decimalPoint(), locale);
    return out;
}

namespace {

bool beyondRatioRange(const mpz_class &num, const mpz_class &den)
{
    // Below 2^1023 the nearest double is finite; only near the top of the
    // range is it worth finding.
    const long top = long(mpz_sizeinbase(num.get_mpz_t(), 2)) - long(mpz_sizeinbase(den.get_mpz_t(), 2));
    return top >= 1023 && std::isinf(nearestRatio(num, den));
}

} // namespace

bool beyondDoubleRange(const mpq_class &value)
{
    return beyondRatioRange(value.get_num(), value.get_den());
}

void appendExact(QString &out, const mpq_class &value, const QString &point, const QLocale &locale)
{
    appendRatio(out, value.get_num(), value.get_den(), point, locale);
}

void appendRatio(QString &out, const mpz_class &num, const mpz_class &den, const QString &point,
                 const QLocale &locale)
{
    if (beyondRatioRange(num, den))
        out += formatAnswer(sgn(num) * std::numeric_limits<double>::infinity(), locale);
    else
        appendAnswer(out, num, den, point);
}

void appendRatio(QString &out, std::int64_t num, std::int64_t den, const QString &point, const QLocale &)
{
    appendAnswer(out, num, den, point);
}

} // namespace ravno
