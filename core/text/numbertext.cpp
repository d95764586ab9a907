// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/numbertext.h"

#include "core/text/answerformat.h"
#include "core/exact/exactnumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>

namespace ravno {
namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Walks a text as the parse sees it: blanks, tabs and line feeds are not
// there at all. Reads in place, so a parse allocates nothing for the short
// pieces of an array text.
class Cursor
{
public:
    explicit Cursor(QStringView text) : m_text(text) { skip(); }
    bool atEnd() const { return m_pos >= m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_pos].unicode(); }
    bool peekDigit() const { return !atEnd() && peek() >= u'0' && peek() <= u'9'; }
    qsizetype position() const { return m_pos; }
    char16_t take()
    {
        const char16_t c = peek();
        ++m_pos;
        skip();
        return c;
    }

private:
    void skip()
    {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos]))
            ++m_pos;
    }
    QStringView m_text;
    qsizetype m_pos = 0;
};

int digitValue(char16_t c, int base)
{
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'z')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'Z')
        value = c - u'A' + 10;
    return value < base ? value : -1;
}

double parseRadixInteger(Cursor &in, int base)
{
    double value = 0;
    for (int digit = digitValue(in.peek(), base); !in.atEnd() && digit >= 0;
         digit = digitValue(in.peek(), base)) {
        value = value * base + digit;
        in.take();
    }
    return value;
}

// Digits of a finite value rounded to 15 significant digits, trailing zeros
// dropped: value = 0.d1d2d3... x 10^(exponent + 1).
struct Digits
{
    bool negative = false;
    char digits[24] = {}; // at least one digit, "0" for zero
    int count = 0;
    int exponent = 0; // decimal exponent of the first digit
};

// Reads to_chars' scientific form "-d.ddde+XX" into d.
void readScientific(const char *p, const char *end, Digits &d)
{
    d.count = 0;
    d.negative = *p == '-';
    if (d.negative)
        ++p;
    for (; p < end && *p != 'e'; ++p) {
        if (*p != '.' && d.count < std::ssize(d.digits))
            d.digits[d.count++] = *p;
    }
    int exponent = 0;
    std::from_chars(p + (p < end && p[1] == '+' ? 2 : 1), end, exponent);
    d.exponent = exponent;
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
}

Digits generalDigits(double value)
{
    Digits d;
    if (value == 0) {
        d.digits[0] = '0';
        d.count = 1;
        return d;
    }
    // to_chars, unlike printf, ignores the C locale: the windows set it from
    // the user's settings, and a Russian one would put a comma in the digits.
    char buf[64];
    // The shortest form that reads back as the value is quick to find. With
    // at most 15 digits it is also the value rounded to 15 digits: a normal
    // double lies within half a unit of its 53rd bit of it, much less than
    // half a step of the 15th digit. Otherwise round to 15 digits.
    if (std::abs(value) >= std::numeric_limits<double>::min()) {
        const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
        readScientific(buf, res.ptr, d);
        if (d.count <= 15)
            return d;
    }
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    readScientific(buf, res.ptr, d);
    return d;
}

// The digits of the print form: rounded to 15 significant digits where
// that reads back as the same double (every value that fits, so the bytes
// stay those written before), otherwise the shortest form that does, of 16
// or 17 digits. Rounded to 15 digits, the largest doubles would lie beyond
// the range and read back as 0.
Digits printDigits(double value)
{
    const Digits rounded = generalDigits(value);
    if (value == 0)
        return rounded;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    double back = 0;
    const auto read = std::from_chars(buf, res.ptr, back);
    if (read.ec == std::errc() && back == value)
        return rounded;
    Digits shortest;
    res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    readScientific(buf, res.ptr, shortest);
    return shortest;
}

char *copyChars(const char *from, int count, char *out)
{
    std::memcpy(out, from, std::size_t(count));
    return out + count;
}

// The general form with "." as the decimal separator; returns the end.
char *renderGeneral(const Digits &d, char *out)
{
    if (d.negative)
        *out++ = '-';
    if (d.exponent >= 15 || d.exponent < -4) {
        *out++ = d.digits[0];
        if (d.count > 1) {
            *out++ = '.';
            out = copyChars(d.digits + 1, d.count - 1, out);
        }
        *out++ = 'E';
        *out++ = d.exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(d.exponent);
        if (magnitude < 10)
            *out++ = '0';
        return std::to_chars(out, out + 8, magnitude).ptr;
    }
    if (d.exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = 0; i < -d.exponent - 1; ++i)
            *out++ = '0';
        return copyChars(d.digits, d.count, out);
    }
    const int whole = d.exponent + 1;
    if (d.count <= whole) {
        out = copyChars(d.digits, d.count, out);
        for (int i = d.count; i < whole; ++i)
            *out++ = '0';
        return out;
    }
    out = copyChars(d.digits, whole, out);
    *out++ = '.';
    return copyChars(d.digits + whole, d.count - whole, out);
}

} // namespace

LeadingNumber readLeadingNumber(QStringView text)
{
    Cursor in(text);
    if (in.peek() == u'&') {
        in.take();
        if (in.atEnd())
            return {}; // "&" alone: no number
        const char16_t kind = in.take();
        const int base = kind == u'h' || kind == u'H' ? 16 : kind == u'o' || kind == u'O' ? 8 : 0;
        if (base == 0)
            return {0, false, in.position()};
        const bool anyDigit = digitValue(in.peek(), base) >= 0;
        const double value = parseRadixInteger(in, base);
        if (!std::isfinite(value))
            return {0, false, in.position()};
        return {value, anyDigit && in.atEnd(), in.position()};
    }

    // Collect the longest prefix that forms a number, in plain ASCII for
    // from_chars, which reads the same whatever the C locale says.
    std::string number;
    if (in.peek() == u'+' || in.peek() == u'-') {
        if (in.take() == u'-')
            number.push_back('-');
    }
    bool anyDigit = false;
    while (in.peekDigit()) {
        number.push_back(char(in.take()));
        anyDigit = true;
    }
    if (in.peek() == u'.') {
        number.push_back(char(in.take()));
        while (in.peekDigit()) {
            number.push_back(char(in.take()));
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return {0, false, in.position()};
    qsizetype end = in.position();
    const char16_t e = in.peek();
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        in.take();
        std::string exponent = "e";
        if (in.peek() == u'+' || in.peek() == u'-')
            exponent.push_back(char(in.take()));
        if (in.peekDigit()) {
            while (in.peekDigit())
                exponent.push_back(char(in.take()));
            number += exponent;
            end = in.position();
        }
    }

    double value = 0;
    const char *first = number.data();
    const char *last = first + number.size();
    const auto [stop, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || !std::isfinite(value))
        return {0, false, end};
    (void)stop;
    // No negative zero.
    return {value == 0 ? 0.0 : value, end == text.size(), end};
}

double parseLeadingNumber(QStringView text)
{
    return readLeadingNumber(text).value;
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

    // The shortest decimal that reads back as the value, rounded once.
    const mpq_class exact = exactValue(value);
    QString out;
    appendAnswer(out, exact.get_num(), exact.get_den(), locale.decimalPoint());
    return out;
}

QString formatGeneral(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return formatAnswer(value, locale);
    char buf[kPrintFormMaxChars];
    const char *end = renderGeneral(generalDigits(value), buf);
    QString out = QString::fromLatin1(buf, end - buf);
    const QString separator = locale.decimalPoint();
    if (separator != QLatin1String("."))
        out.replace(u'.', separator); // the form has at most one
    return out;
}

char *writePrintForm(double value, char *out)
{
    if (!std::isfinite(value)) // never produced by the parse; kept readable by it
        return copyChars(" 0 ", 3, out);
    const Digits d = printDigits(value);
    if (!d.negative)
        *out++ = ' ';
    out = renderGeneral(d, out);
    *out++ = ' ';
    return out;
}

QString formatPrint(double value)
{
    char buf[kPrintFormMaxChars];
    const char *end = writePrintForm(value, buf);
    return QString::fromLatin1(buf, end - buf);
}

} // namespace ravno
