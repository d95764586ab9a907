// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/fractiontext.h"

#include "core/exact/exactnumber.h"
#include "core/text/numbertext.h"

#include <string>

namespace ravno {
namespace {

bool isNumberChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'.' || u == u'e' || u == u'E' || u == u'd' || u == u'D'
           || u == u'+' || u == u'-';
}

// An unsigned decimal number and nothing else, as the leading-number parse
// reads it: its exact value, or false.
bool readDecimal(QStringView text, mpq_class &value)
{
    if (text.isEmpty() || !(text[0].isDigit() || text[0] == u'.'))
        return false;
    bool digitsOnly = true;
    for (const QChar c : text) {
        if (!isNumberChar(c))
            return false;
        digitsOnly = digitsOnly && c.isDigit();
    }
    // Whole numbers are read as they stand, so that the fractions the array
    // files write (" 1000…000/1 ", a denominator of 300 digits) read back
    // exactly.
    if (digitsOnly && text.size() <= kFractionDigits) {
        value = mpz_class(text.toLatin1().toStdString(), 10);
        return true;
    }
    const LeadingNumber read = readLeadingNumber(text);
    if (!read.whole)
        return false;
    value = exactValue(read.value);
    return true;
}

} // namespace

PieceFraction readFraction(QStringView piece)
{
    const qsizetype slash = piece.indexOf(u'/');
    if (slash < 0)
        return {};
    QStringView top = piece.first(slash);
    const bool negative = !top.isEmpty() && (top[0] == u'-' || top[0] == QChar(0x2212));
    if (negative)
        top = top.sliced(1);
    mpq_class a, b;
    if (!readDecimal(top, a) || !readDecimal(piece.sliced(slash + 1), b))
        return {};
    if (b == 0)
        return {PieceFraction::Kind::DivisionByZero, {}};
    PieceFraction out{PieceFraction::Kind::Fraction, a / b};
    if (negative)
        out.value = -out.value;
    return out;
}

QString fractionText(const mpq_class &value)
{
    if (value.get_den() == 1)
        return QString::fromStdString(value.get_num().get_str());
    return QString::fromStdString(value.get_num().get_str() + '/' + value.get_den().get_str());
}

bool printFormReadsBack(const mpq_class &value)
{
    return exactValue(nearestDouble(value)) == value;
}

QByteArray fractionPrintForm(const mpq_class &value)
{
    std::string line = value < 0 ? "" : " ";
    line += value.get_num().get_str() + '/' + value.get_den().get_str() + ' ';
    return QByteArray::fromStdString(line);
}

} // namespace ravno
