// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace ravno {
namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(QChar c, int base)
{
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'z')
        value = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'Z')
        value = c.unicode() - u'A' + 10;
    return value < base ? value : -1;
}

double parseRadixInteger(const std::u16string &s, std::size_t pos, int base)
{
    double value = 0;
    for (; pos < s.size(); ++pos) {
        const int digit = digitValue(QChar(s[pos]), base);
        if (digit < 0)
            break;
        value = value * base + digit;
    }
    return std::isfinite(value) ? value : 0.0;
}

// Digits of a finite value rounded to 15 significant digits, trailing zeros
// dropped: value = 0.d1d2d3... x 10^(exponent + 1).
struct Digits
{
    bool negative = false;
    std::string digits; // at least one digit, "0" for zero
    int exponent = 0;   // decimal exponent of the first digit
};

Digits generalDigits(double value)
{
    Digits d;
    if (value == 0) {
        d.digits.assign(1, '0');
        return d;
    }
    // to_chars, unlike printf, ignores the C locale: the windows set it from
    // the user's settings, and a Russian one would put a comma in the digits.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14);
    *res.ptr = '\0';
    const char *p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p != '.')
            d.digits.push_back(*p);
    d.exponent = std::atoi(p + 1);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

QString renderGeneral(const Digits &d, const QString &separator)
{
    QString out;
    if (d.negative)
        out += u'-';
    const int count = int(d.digits.size());
    if (d.exponent >= 15 || d.exponent < -4) {
        out += QLatin1Char(d.digits[0]);
        if (count > 1)
            out += separator + QString::fromLatin1(d.digits.data() + 1, count - 1);
        out += d.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        out += QStringLiteral("%1").arg(std::abs(d.exponent), 2, 10, QLatin1Char('0'));
    } else if (d.exponent < 0) {
        out += u'0' + separator + QString(-d.exponent - 1, u'0') + QString::fromLatin1(d.digits);
    } else {
        const int whole = d.exponent + 1;
        if (count <= whole) {
            out += QString::fromLatin1(d.digits) + QString(whole - count, u'0');
        } else {
            out += QString::fromLatin1(d.digits.data(), whole) + separator
                   + QString::fromLatin1(d.digits.data() + whole, count - whole);
        }
    }
    return out;
}

} // namespace

double parseLeadingNumber(QStringView text)
{
    std::u16string s;
    s.reserve(std::size_t(text.size()));
    for (QChar c : text)
        if (!isSkipped(c))
            s.push_back(c.unicode());

    if (s.size() >= 2 && s[0] == u'&') {
        const char16_t kind = s[1];
        if (kind == u'h' || kind == u'H')
            return parseRadixInteger(s, 2, 16);
        if (kind == u'o' || kind == u'O')
            return parseRadixInteger(s, 2, 8);
        return 0;
    }

    // Collect the longest prefix that forms a number, in plain ASCII for
    // from_chars, which reads the same whatever the C locale says.
    std::string number;
    std::size_t pos = 0;
    auto isDigit = [&](std::size_t i) { return i < s.size() && s[i] >= u'0' && s[i] <= u'9'; };
    if (pos < s.size() && (s[pos] == u'+' || s[pos] == u'-')) {
        if (s[pos] == u'-')
            number.push_back('-');
        ++pos;
    }
    bool anyDigit = false;
    while (isDigit(pos)) {
        number.push_back(char(s[pos++]));
        anyDigit = true;
    }
    if (pos < s.size() && s[pos] == u'.') {
        number.push_back('.');
        ++pos;
        while (isDigit(pos)) {
            number.push_back(char(s[pos++]));
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0;
    if (pos < s.size() && (s[pos] == u'e' || s[pos] == u'E' || s[pos] == u'd' || s[pos] == u'D')) {
        std::size_t e = pos + 1;
        std::string exponent = "e";
        if (e < s.size() && (s[e] == u'+' || s[e] == u'-'))
            exponent.push_back(char(s[e++]));
        if (isDigit(e)) {
            while (isDigit(e))
                exponent.push_back(char(s[e++]));
            number += exponent;
        }
    }

    double value = 0;
    const char *first = number.data();
    const char *last = first + number.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || !std::isfinite(value))
        return 0;
    (void)end;
    return value == 0 ? 0.0 : value; // no negative zero
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

QString formatAnswer(double value, const QLocale &locale)
{
    if (std::isnan(value))
        return QStringLiteral("не число");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("бесконечность") : QStringLiteral("-бесконечность");

    // Shortest decimal form: digits d1 d2 ... with the first digit at 10^exp.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string text(buf, res.ptr);
    bool negative = false;
    std::size_t p = 0;
    if (text[0] == '-') {
        negative = true;
        p = 1;
    }
    std::string digits;
    for (; p < text.size() && text[p] != 'e'; ++p)
        if (text[p] != '.')
            digits.push_back(text[p]);
    const int exponent = std::atoi(text.c_str() + p + 1);

    // Keep the digits down to 10^-3; the next one decides the rounding.
    const int keep = exponent + 4;
    std::string thousandths; // the rounded magnitude times 1000
    if (keep >= 0) {
        for (int i = 0; i < keep; ++i)
            thousandths.push_back(i < int(digits.size()) ? digits[std::size_t(i)] : '0');
        const bool roundUp = keep < int(digits.size()) && digits[std::size_t(keep)] >= '5';
        if (roundUp) {
            int i = int(thousandths.size()) - 1;
            for (; i >= 0 && thousandths[std::size_t(i)] == '9'; --i)
                thousandths[std::size_t(i)] = '0';
            if (i >= 0)
                ++thousandths[std::size_t(i)];
            else
                thousandths.insert(thousandths.begin(), '1');
        }
    }
    while (thousandths.size() < 4)
        thousandths.insert(thousandths.begin(), '0');
    const std::size_t first = thousandths.find_first_not_of('0', 0);
    std::size_t whole = thousandths.size() - 3;
    std::size_t start = std::min(first == std::string::npos ? whole - 1 : first, whole - 1);

    QString out;
    if (negative && first != std::string::npos)
        out += u'-';
    out += QString::fromLatin1(thousandths.data() + start, qsizetype(whole - start));
    out += locale.decimalPoint();
    out += QString::fromLatin1(thousandths.data() + whole, 3);
    return out;
}

QString formatGeneral(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return formatAnswer(value, locale);
    return renderGeneral(generalDigits(value), locale.decimalPoint());
}

QString formatPrint(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral(" 0 "); // never produced by the parse; kept readable by it
    const Digits d = generalDigits(value);
    QString body = renderGeneral(d, QStringLiteral("."));
    if (!d.negative)
        body.prepend(u' ');
    return body + u' ';
}

} // namespace ravno
