// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/answerformat.h"

#include <algorithm>
#include <string>

namespace ravno {

bool wordThousandths(std::uint64_t magnitude, std::uint64_t den, std::uint64_t &count)
{
    constexpr std::uint64_t small = std::uint64_t(1) << 52;
    if (den == 1 && magnitude < small) {
        count = magnitude * 1000;
        return true;
    }
    if (magnitude < small && den < small) {
        // 2000 * 2^52 + 2^52 stays below 2^64.
        count = (2000 * magnitude + den) / (2 * den);
        return true;
    }
    // 2000 * 2^63 + 2^63 stays far below 2^128. Below 2^52 the quotient of
    // the two as doubles is off by at most two, and two products set it
    // right; a 128-bit division costs several times more.
    const UnsignedWide a = 2000 * UnsignedWide(magnitude) + den;
    const UnsignedWide b = 2 * UnsignedWide(den);
    const double estimate = double(a) / double(b);
    if (estimate < 0x1p52) {
        std::uint64_t q = std::uint64_t(estimate);
        while (UnsignedWide(q) * b > a)
            --q;
        while (UnsignedWide(q + 1) * b <= a)
            ++q;
        count = q;
        return true;
    }
    const UnsignedWide wide = a / b;
    if (wide >> 64)
        return false;
    count = std::uint64_t(wide);
    return true;
}

bool wideThousandths(UnsignedWide magnitude, UnsignedWide den, std::uint64_t &count)
{
    // 2000 * 2^116 + 2^126 and 2 * 2^126 stay below 2^128.
    const UnsignedWide q = (2000 * magnitude + den) / (2 * den);
    if (q >> 64)
        return false;
    count = std::uint64_t(q);
    return true;
}

void bigThousandths(const mpz_class &num, const mpz_class &den, mpz_class &count)
{
    // Kept from one call to the next: an answer line of big values would
    // otherwise allocate for each.
    thread_local mpz_class twice;
    mpz_abs(count.get_mpz_t(), num.get_mpz_t());
    mpz_mul_ui(count.get_mpz_t(), count.get_mpz_t(), 2000);
    mpz_add(count.get_mpz_t(), count.get_mpz_t(), den.get_mpz_t());
    mpz_mul_2exp(twice.get_mpz_t(), den.get_mpz_t(), 1);
    mpz_fdiv_q(count.get_mpz_t(), count.get_mpz_t(), twice.get_mpz_t());
}

namespace {

// The one writer of the form: the count of thousandths as its decimal
// digits ("0" for none), laid out as "##0.000".
void writeDigits(char16_t *&out, bool negative, const char *digits, std::size_t size, QStringView point)
{
    if (negative && !(size == 1 && digits[0] == '0'))
        *out++ = u'-';
    if (size < 4) {
        *out++ = u'0';
        out = std::copy_n(point.utf16(), point.size(), out);
        for (std::size_t pad = size; pad < 3; ++pad)
            *out++ = u'0';
        out = std::copy_n(digits, size, out);
        return;
    }
    out = std::copy_n(digits, size - 3, out);
    out = std::copy_n(point.utf16(), point.size(), out);
    out = std::copy_n(digits + size - 3, 3, out);
}

// A count in a machine word: its digits two at a time from the right, as
// most answers have few.
void writeCount(char16_t *&out, bool negative, std::uint64_t count, QStringView point)
{
    static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                    "8081828384858687888990919293949596979899";
    char digits[20];
    char *const end = digits + sizeof digits;
    char *p = end;
    for (; count >= 100; count /= 100) {
        p -= 2;
        std::copy_n(pairs + 2 * (count % 100), 2, p);
    }
    if (count >= 10) {
        p -= 2;
        std::copy_n(pairs + 2 * count, 2, p);
    } else {
        *--p = char('0' + count);
    }
    writeDigits(out, negative, p, std::size_t(end - p), point);
}

// The count of thousandths in the first tier that holds the operands: in
// `count`, or when it passes a machine word, false, the count in `big` if
// it was found in GMP integers, else 0 there.
bool countOf(const mpz_class &num, const mpz_class &den, std::uint64_t &count, mpz_class &big)
{
    big = 0;
    const std::size_t numBits = mpz_sizeinbase(num.get_mpz_t(), 2);
    const std::size_t denBits = mpz_sizeinbase(den.get_mpz_t(), 2);
    if (numBits <= 62 && denBits <= 62)
        return wordThousandths(magnitude(num.get_si()), std::uint64_t(den.get_si()), count);
    if (numBits <= 116 && denBits <= 126)
        return wideThousandths(wideMagnitude(num), wideMagnitude(den), count);
    bigThousandths(num, den, big);
    if (!mpz_fits_ulong_p(big.get_mpz_t()))
        return false;
    count = mpz_get_ui(big.get_mpz_t());
    return true;
}

template<class Write>
void appendWritten(QString &out, qsizetype most, Write write)
{
    const qsizetype at = out.size();
    out.resize(at + most);
    char16_t *const begin = reinterpret_cast<char16_t *>(out.data());
    char16_t *end = begin + at;
    write(end);
    out.truncate(end - begin);
}

} // namespace

bool writeAnswer(char16_t *&out, std::int64_t num, std::int64_t den, char16_t point)
{
    // Half an eliminated matrix is zeros below its diagonal.
    if (num == 0) {
        out = std::copy_n(u"0.000", 5, out);
        out[-4] = point;
        return true;
    }
    std::uint64_t count = 0;
    if (!wordThousandths(magnitude(num), std::uint64_t(den), count))
        return false;
    writeCount(out, num < 0, count, QStringView(&point, 1));
    return true;
}

bool writeAnswer(char16_t *&out, const mpz_class &num, const mpz_class &den, char16_t point)
{
    thread_local mpz_class big;
    std::uint64_t count = 0;
    if (!countOf(num, den, count, big))
        return false;
    writeCount(out, sgn(num) < 0, count, QStringView(&point, 1));
    return true;
}

void appendAnswer(QString &out, std::int64_t num, std::int64_t den, QStringView point)
{
    std::uint64_t count = 0;
    if (!wordThousandths(magnitude(num), std::uint64_t(den), count)) {
        appendAnswer(out, mpz_class(static_cast<signed long>(num)), mpz_class(static_cast<signed long>(den)),
                     point);
        return;
    }
    appendWritten(out, kAnswerMaxChars + point.size(),
                  [&](char16_t *&at) { writeCount(at, num < 0, count, point); });
}

void appendAnswer(QString &out, const mpz_class &num, const mpz_class &den, QStringView point)
{
    thread_local mpz_class big;
    std::uint64_t count = 0;
    if (countOf(num, den, count, big)) {
        appendWritten(out, kAnswerMaxChars + point.size(),
                      [&](char16_t *&at) { writeCount(at, sgn(num) < 0, count, point); });
        return;
    }
    if (big == 0) // passed a word in a smaller tier
        bigThousandths(num, den, big);
    const std::string digits = big.get_str();
    appendWritten(out, qsizetype(digits.size()) + point.size() + 4, [&](char16_t *&at) {
        writeDigits(at, sgn(num) < 0, digits.data(), digits.size(), point);
    });
}

} // namespace ravno
