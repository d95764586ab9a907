// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exactnumber.h"

#include "core/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
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

__extension__ typedef unsigned __int128 UnsignedWide;

int bitLength(UnsignedWide v)
{
    const std::uint64_t high = std::uint64_t(v >> 64);
    return high ? 128 - __builtin_clzll(high) : v ? 64 - __builtin_clzll(std::uint64_t(v)) : 0;
}

// The magnitude of a GMP integer of at most two limbs.
UnsignedWide wideMagnitude(const mpz_class &v)
{
    static_assert(sizeof(mp_limb_t) == 8);
    return UnsignedWide(mpz_getlimbn(v.get_mpz_t(), 0)) | UnsignedWide(mpz_getlimbn(v.get_mpz_t(), 1)) << 64;
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
    const std::uint64_t magnitude = num < 0 ? 0 - std::uint64_t(num) : std::uint64_t(num);
    const double value = nearestQuotient(magnitude, std::uint64_t(den));
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

namespace {

// "##0.000" of the magnitude in thousandths, with a minus for a negative
// value that does not round to zero.
void appendThousandths(QString &out, bool negative, const char *digits, std::size_t size,
                       const QString &point)
{
    if (negative && !(size == 1 && digits[0] == '0'))
        out += u'-';
    if (size < 4) {
        out += u'0';
        out += point;
        for (std::size_t pad = size; pad < 3; ++pad)
            out += u'0';
        out += QLatin1StringView(digits, qsizetype(size));
        return;
    }
    out += QLatin1StringView(digits, qsizetype(size - 3));
    out += point;
    out += QLatin1StringView(digits + size - 3, 3);
}

} // namespace

void appendExact(QString &out, const mpq_class &value, const QString &point, const QLocale &locale)
{
    appendRatio(out, value.get_num(), value.get_den(), point, locale);
}

namespace {

void appendBigRatio(QString &out, const mpz_class &num, const mpz_class &den, const QString &point,
                    const QLocale &locale)
{
    if (beyondRatioRange(num, den)) {
        out += formatAnswer(sgn(num) * std::numeric_limits<double>::infinity(), locale);
        return;
    }
    // The magnitude in thousandths, rounded half away from zero:
    // floor((2000 |num| + den) / (2 den)).
    thread_local mpz_class thousandths, twice;
    mpz_abs(thousandths.get_mpz_t(), num.get_mpz_t());
    thousandths *= 2000;
    thousandths += den;
    mpz_mul_2exp(twice.get_mpz_t(), den.get_mpz_t(), 1);
    mpz_fdiv_q(thousandths.get_mpz_t(), thousandths.get_mpz_t(), twice.get_mpz_t());
    const std::string digits = thousandths.get_str();
    appendThousandths(out, sgn(num) < 0, digits.data(), digits.size(), point);
}

} // namespace

void appendRatio(QString &out, const mpz_class &num, const mpz_class &den, const QString &point,
                 const QLocale &locale)
{
    if (mpz_sizeinbase(num.get_mpz_t(), 2) <= 62 && mpz_sizeinbase(den.get_mpz_t(), 2) <= 62)
        appendRatio(out, std::int64_t(num.get_si()), std::int64_t(den.get_si()), point, locale);
    else
        appendBigRatio(out, num, den, point, locale);
}

namespace {

// The magnitude of num / den in thousandths, rounded half away from zero;
// false beyond a machine word.
bool thousandthsOf(std::int64_t num, std::int64_t den, std::uint64_t &thousandths)
{
    const std::uint64_t magnitude = num < 0 ? 0 - std::uint64_t(num) : std::uint64_t(num);
    const std::uint64_t d = std::uint64_t(den);
    constexpr std::uint64_t small = std::uint64_t(1) << 52;
    if (d == 1 && magnitude < small) {
        thousandths = magnitude * 1000;
    } else if (magnitude < small && d < small) {
        // 2000 * 2^52 + 2^52 stays below 2^64.
        thousandths = (2000 * magnitude + d) / (2 * d);
    } else {
        // 2000 * 2^63 + 2^63 stays far below 2^128. Below 2^52 the quotient
        // of the two as doubles is off by at most two, and two products set
        // it right; a 128-bit division costs several times more.
        __extension__ typedef unsigned __int128 Wide;
        const Wide a = 2000 * Wide(magnitude) + d;
        const Wide b = 2 * Wide(d);
        const double estimate = double(a) / double(b);
        if (estimate < 0x1p52) {
            std::uint64_t q = std::uint64_t(estimate);
            while (Wide(q) * b > a)
                --q;
            while (Wide(q + 1) * b <= a)
                ++q;
            thousandths = q;
            return true;
        }
        const Wide wide = a / b;
        if (wide >> 64)
            return false;
        thousandths = std::uint64_t(wide);
    }
    return true;
}

void writeThousandths(char16_t *&out, bool negative, std::uint64_t thousandths, char16_t point)
{
    static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                    "8081828384858687888990919293949596979899";
    if (negative && thousandths != 0)
        *out++ = u'-';
    std::uint64_t whole = thousandths / 1000;
    const unsigned fraction = unsigned(thousandths % 1000);
    // The digits of the whole part, without a loop the branch predictor
    // would miss on numbers of mixed lengths: 1233 / 4096 is just above
    // log10(2).
    static constexpr std::uint64_t powers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000,
                                               100000000, 1000000000, 10000000000, 100000000000,
                                               1000000000000, 10000000000000, 100000000000000,
                                               1000000000000000, 10000000000000000,
                                               100000000000000000, 1000000000000000000};
    const std::uint64_t odd = whole | 1; // as many digits, and never 0
    const int estimate = ((64 - __builtin_clzll(odd)) * 1233) >> 12;
    const int digits = estimate + int(odd >= powers[estimate]);
    // From the right: three decimals, the point, the whole part ("0" at least).
    char16_t *p = out + digits + 4;
    out = p;
    *--p = char16_t(u'0' + fraction % 10);
    *--p = char16_t(pairs[2 * (fraction / 10 % 100) + 1]);
    *--p = char16_t(pairs[2 * (fraction / 10 % 100)]);
    *--p = point;
    for (; whole >= 100; whole /= 100) {
        *--p = char16_t(pairs[2 * (whole % 100) + 1]);
        *--p = char16_t(pairs[2 * (whole % 100)]);
    }
    if (whole >= 10) {
        *--p = char16_t(pairs[2 * whole + 1]);
        *--p = char16_t(pairs[2 * whole]);
    } else {
        *--p = char16_t(u'0' + whole);
    }
}

} // namespace

bool writeRatio(char16_t *&out, std::int64_t num, std::int64_t den, char16_t point)
{
    // Half an eliminated matrix is zeros below its diagonal.
    if (num == 0) {
        out = std::copy_n(u"0.000", 5, out);
        out[-4] = point;
        return true;
    }
    std::uint64_t thousandths = 0;
    if (!thousandthsOf(num, den, thousandths))
        return false;
    writeThousandths(out, num < 0, thousandths, point);
    return true;
}

bool writeRatio(char16_t *&out, const mpz_class &num, const mpz_class &den, char16_t point)
{
    if (mpz_sizeinbase(num.get_mpz_t(), 2) <= 62 && mpz_sizeinbase(den.get_mpz_t(), 2) <= 62)
        return writeRatio(out, std::int64_t(num.get_si()), std::int64_t(den.get_si()), point);
    // floor((2000 |num| + den) / (2 den)), as appendRatio() finds it: in
    // 128 bits while |num| < 2^116 and den < 2^126, else in GMP integers
    // kept from one call to the next.
    if (mpz_sizeinbase(num.get_mpz_t(), 2) <= 116 && mpz_sizeinbase(den.get_mpz_t(), 2) <= 126) {
        static_assert(sizeof(mp_limb_t) == 8);
        __extension__ typedef unsigned __int128 Wide;
        const auto wide = [](const mpz_class &v) {
            return Wide(mpz_getlimbn(v.get_mpz_t(), 0)) | Wide(mpz_getlimbn(v.get_mpz_t(), 1)) << 64;
        };
        const Wide d = wide(den);
        const Wide q = (2000 * wide(num) + d) / (2 * d);
        if (q >> 64)
            return false;
        writeThousandths(out, sgn(num) < 0, std::uint64_t(q), point);
        return true;
    }
    thread_local mpz_class thousandths, twice;
    mpz_abs(thousandths.get_mpz_t(), num.get_mpz_t());
    mpz_mul_ui(thousandths.get_mpz_t(), thousandths.get_mpz_t(), 2000);
    mpz_add(thousandths.get_mpz_t(), thousandths.get_mpz_t(), den.get_mpz_t());
    mpz_mul_2exp(twice.get_mpz_t(), den.get_mpz_t(), 1);
    mpz_fdiv_q(thousandths.get_mpz_t(), thousandths.get_mpz_t(), twice.get_mpz_t());
    if (!mpz_fits_ulong_p(thousandths.get_mpz_t()))
        return false;
    writeThousandths(out, sgn(num) < 0, mpz_get_ui(thousandths.get_mpz_t()), point);
    return true;
}

void appendRatio(QString &out, std::int64_t num, std::int64_t den, const QString &point,
                 const QLocale &locale)
{
    std::uint64_t thousandths = 0;
    if (!thousandthsOf(num, den, thousandths)) {
        appendBigRatio(out, mpz_class(static_cast<signed long>(num)),
                       mpz_class(static_cast<signed long>(den)), point, locale);
        return;
    }
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, thousandths);
    appendThousandths(out, num < 0, buf, std::size_t(res.ptr - buf), point);
}

} // namespace ravno
