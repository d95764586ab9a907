// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exactnumber.h"

#include "core/numbertext.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace ravno {

mpq_class exactValue(double value)
{
    if (!std::isfinite(value) || value == 0)
        return 0;
    // A whole number below 2^53 is its own shortest decimal.
    if (std::fabs(value) < 0x1p53 && value == std::trunc(value))
        return mpq_class(static_cast<signed long>(value));
    // "-d.ddde-XX": the digits without the point make an integer, scaled by
    // a power of ten. to_chars ignores the C locale.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string digits;
    const char *p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits.push_back(*p);
    int exponent = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), res.ptr, exponent);
    const int fractionDigits = int(digits.size()) - (digits[0] == '-' ? 2 : 1);
    const int scale = exponent - fractionDigits; // value = digits * 10^scale

    mpz_class whole(digits, 10);
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, unsigned(std::abs(scale)));
    if (scale >= 0)
        return mpq_class(whole * power);
    mpq_class result(whole, power);
    result.canonicalize();
    return result;
}

double nearestDouble(const mpq_class &value)
{
    const int sign = sgn(value);
    if (sign == 0)
        return 0;
    // Both parts exact in a double: the division rounds once, to nearest.
    if (mpz_sizeinbase(value.get_num_mpz_t(), 2) <= 53 && mpz_sizeinbase(value.get_den_mpz_t(), 2) <= 53)
        return value.get_num().get_d() / value.get_den().get_d();
    const mpz_class num = abs(value.get_num());
    const mpz_class &den = value.get_den();

    // floor(log2 |value|): the bit lengths give it to within one.
    long top = long(mpz_sizeinbase(num.get_mpz_t(), 2)) - long(mpz_sizeinbase(den.get_mpz_t(), 2));
    {
        mpz_class a = num, b = den;
        if (top >= 0)
            b <<= mp_bitcnt_t(top);
        else
            a <<= mp_bitcnt_t(-top);
        if (a < b)
            --top;
    }
    if (top > std::numeric_limits<double>::max_exponent)
        return sign * std::numeric_limits<double>::infinity();

    // 53 significant bits, fewer below the normal range: the last one is
    // worth 2^unit. Round the quotient to nearest, halves to even.
    const long unit = std::max(top - 52, long(std::numeric_limits<double>::min_exponent - 53));
    mpz_class a = num, b = den;
    if (unit >= 0)
        b <<= mp_bitcnt_t(unit);
    else
        a <<= mp_bitcnt_t(-unit);
    mpz_class quotient, remainder;
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

bool beyondDoubleRange(const mpq_class &value)
{
    // Below 2^1023 the nearest double is finite; only near the top of the
    // range is it worth finding.
    const long top = long(mpz_sizeinbase(value.get_num_mpz_t(), 2))
                     - long(mpz_sizeinbase(value.get_den_mpz_t(), 2));
    return top >= 1023 && std::isinf(nearestDouble(value));
}

void appendExact(QString &out, const mpq_class &value, const QString &point, const QLocale &locale)
{
    if (beyondDoubleRange(value)) {
        out += formatAnswer(sgn(value) * std::numeric_limits<double>::infinity(), locale);
        return;
    }

    // The magnitude in thousandths, rounded half away from zero:
    // floor((2000 |num| + den) / (2 den)); in machine words when it fits.
    std::string digits;
    if (mpz_sizeinbase(value.get_num_mpz_t(), 2) <= 52 && mpz_sizeinbase(value.get_den_mpz_t(), 2) <= 52) {
        // 2000 * 2^52 + 2^52 stays below 2^64.
        const auto num = static_cast<unsigned long long>(std::abs(value.get_num().get_si()));
        const auto den = static_cast<unsigned long long>(value.get_den().get_ui());
        const unsigned long long thousandths = (2000 * num + den) / (2 * den);
        digits = std::to_string(thousandths);
    } else {
        mpz_class thousandths = abs(value.get_num()) * 2000 + value.get_den();
        mpz_fdiv_q(thousandths.get_mpz_t(), thousandths.get_mpz_t(), mpz_class(value.get_den() * 2).get_mpz_t());
        digits = thousandths.get_str();
    }
    const bool zero = digits == "0";
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');

    if (sgn(value) < 0 && !zero)
        out += u'-';
    out += QLatin1StringView(digits.data(), qsizetype(digits.size() - 3));
    out += point;
    out += QLatin1StringView(digits.data() + digits.size() - 3, 3);
}

} // namespace ravno
