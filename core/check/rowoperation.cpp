// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/check/rowoperation.h"
#include "core/check/typedchars.h"

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace ravno {
namespace {

using typed::isDigit;
using typed::isMinus;

bool isTimes(QChar c)
{
    return c == u'*' || c == u'·' || c == u'⋅' || c == u'×';
}

bool isRowLetter(QChar c)
{
    return c == u'R' || c == u'r' || c == u'C' || c == u'c' || c == u'С' || c == u'с';
}

// One term of the right side as read: coefficient times row (as typed,
// from 1), and where it began.
struct Term
{
    mpq_class coefficient;
    long long row = 0;
    qsizetype at = 0;
    bool divided = false; // the last thing done to it was a division
    bool bare = true;     // the row alone, with no number
};

class Reader
{
public:
    explicit Reader(QStringView text) : m_text(text) {}

    ParsedOperation read(int order);
    std::optional<mpq_class> number(qsizetype &at, bool &zeroDenominator)
    {
        m_i = at;
        std::optional<mpq_class> value = factor();
        zeroDenominator = m_refusal == OperationRefusal::ZeroDenominator;
        at = zeroDenominator ? m_at : m_i;
        return value;
    }

private:
    QChar peek() const { return m_i < m_text.size() ? m_text[m_i] : QChar(); }
    bool atEnd() const { return m_i >= m_text.size(); }
    void skipSpaces()
    {
        while (!atEnd() && peek().isSpace())
            ++m_i;
    }
    // A leading "+" or minus, with the blanks after it: true for a minus.
    bool takeSign()
    {
        if (!isMinus(peek()) && peek() != u'+')
            return false;
        const bool negative = isMinus(peek());
        ++m_i;
        skipSpaces();
        return negative;
    }
    bool take(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_i;
        return true;
    }
    bool takeText(QStringView word)
    {
        if (!m_text.mid(m_i).startsWith(word))
            return false;
        m_i += word.size();
        return true;
    }
    bool fail(OperationRefusal refusal)
    {
        if (m_refusal == OperationRefusal::None) {
            m_refusal = refusal;
            m_at = m_i;
        }
        return false;
    }
    bool failed() const { return m_refusal != OperationRefusal::None; }

    std::optional<long long> rowNumber();
    bool digits(std::string &out);
    std::optional<mpq_class> unsignedNumber();
    std::optional<mpq_class> factor();
    bool exchangeSign();
    std::optional<Term> term();
    bool expression(std::vector<Term> &terms);

    QStringView m_text;
    qsizetype m_i = 0;
    OperationRefusal m_refusal = OperationRefusal::None;
    qsizetype m_at = 0;
};

// "R2", "С 2" or "(2)"; nothing read when there is none.
std::optional<long long> Reader::rowNumber()
{
    const qsizetype start = m_i;
    const bool bracket = take(u'(');
    if (!bracket && !(isRowLetter(peek()) && (++m_i, true)))
        return std::nullopt;
    skipSpaces();
    if (!isDigit(peek())) {
        m_i = start;
        return std::nullopt;
    }
    long long row = 0;
    while (isDigit(peek())) {
        row = row > LLONG_MAX / 10 - 10 ? LLONG_MAX / 10 : row * 10 + (peek().unicode() - u'0');
        ++m_i;
    }
    if (bracket) {
        skipSpaces();
        if (!take(u')')) {
            m_i = start;
            return std::nullopt;
        }
    }
    return row;
}

bool Reader::digits(std::string &out)
{
    const qsizetype start = m_i;
    while (isDigit(peek()))
        out += char(m_text[m_i++].unicode());
    return m_i > start;
}

// 3, 0,5, 2.75, 1/2, 1,5/4: whole digits, a point or a comma and more
// digits, and a denominator of the same kind.
std::optional<mpq_class> Reader::unsignedNumber()
{
    const auto decimal = [this]() -> std::optional<mpq_class> {
        std::string whole, part;
        if (!digits(whole))
            return std::nullopt;
        if ((peek() == u'.' || peek() == u',') && m_i + 1 < m_text.size() && isDigit(m_text[m_i + 1])) {
            ++m_i;
            digits(part);
        }
        mpq_class value(mpz_class(whole + part, 10), 1);
        if (!part.empty())
            value.get_den() = mpz_class("1" + std::string(part.size(), '0'), 10);
        value.canonicalize();
        return value;
    };
    std::optional<mpq_class> value = decimal();
    if (!value)
        return std::nullopt;
    const qsizetype afterNumerator = m_i;
    skipSpaces();
    if (take(u'/')) {
        skipSpaces();
        if (isDigit(peek())) {
            const qsizetype at = m_i;
            const std::optional<mpq_class> den = decimal();
            if (*den == 0) {
                m_i = at;
                fail(OperationRefusal::ZeroDenominator);
                return std::nullopt;
            }
            return *value / *den;
        }
    }
    // A slash not followed by digits is no part of the number: "R2 / -2".
    m_i = afterNumerator;
    return value;
}

// A number as a factor: signed, or in brackets, "(-2/3)".
std::optional<mpq_class> Reader::factor()
{
    const qsizetype start = m_i;
    const bool bracket = take(u'(');
    if (bracket)
        skipSpaces();
    const bool negative = takeSign();
    std::optional<mpq_class> value = unsignedNumber();
    if (!value) {
        if (!failed())
            m_i = start;
        return std::nullopt;
    }
    if (bracket) {
        skipSpaces();
        if (!take(u')')) {
            m_i = start;
            return std::nullopt;
        }
    }
    return negative ? mpq_class(-*value) : *value;
}

bool Reader::exchangeSign()
{
    return takeText(u"<->") || takeText(u"<=>") || takeText(u"↔") || takeText(u"⇄") || takeText(u"⇔");
}

// [coefficient [·]] row [· number | / number]...
std::optional<Term> Reader::term()
{
    Term t;
    t.at = m_i;
    t.coefficient = 1;
    // A coefficient first, unless what looks like one is the row "(2)".
    const qsizetype start = m_i;
    if (std::optional<mpq_class> c = factor()) {
        skipSpaces();
        if (isTimes(peek())) {
            ++m_i;
            skipSpaces();
        }
        if (std::optional<long long> row = rowNumber()) {
            t.coefficient = *c;
            t.row = *row;
            t.bare = false;
        } else {
            m_i = start;
        }
    }
    if (failed())
        return std::nullopt;
    if (m_i == start) {
        std::optional<long long> row = rowNumber();
        if (!row) {
            fail(OperationRefusal::NotAnOperation);
            return std::nullopt;
        }
        t.row = *row;
    }
    for (;;) {
        const qsizetype before = m_i;
        skipSpaces();
        const bool times = isTimes(peek());
        if (!times && peek() != u'/') {
            m_i = before;
            return t;
        }
        ++m_i;
        skipSpaces();
        const qsizetype at = m_i;
        std::optional<mpq_class> value = factor();
        if (!value) {
            fail(OperationRefusal::NotAnOperation);
            return std::nullopt;
        }
        if (times) {
            t.coefficient *= *value;
        } else if (*value == 0) {
            m_i = at;
            fail(OperationRefusal::ZeroDenominator);
            return std::nullopt;
        } else {
            t.coefficient /= *value;
        }
        t.divided = !times;
        t.bare = false;
    }
}

// [sign] term (sign term)...
bool Reader::expression(std::vector<Term> &terms)
{
    skipSpaces();
    bool negative = takeSign();
    for (;;) {
        std::optional<Term> t = term();
        if (!t)
            return false;
        if (negative)
            t->coefficient = -t->coefficient;
        terms.push_back(*t);
        skipSpaces();
        if (!isMinus(peek()) && peek() != u'+')
            return true;
        negative = takeSign();
    }
}

ParsedOperation Reader::read(int order)
{
    ParsedOperation result;
    const auto refuse = [&](OperationRefusal refusal, qsizetype at, long long row = 0) {
        result.refusal = refusal;
        result.at = at;
        result.typedRow = row;
        return result;
    };
    const auto outOfRange = [order](long long row) { return row < 1 || row > order; };

    skipSpaces();
    const qsizetype firstAt = m_i;
    std::optional<long long> first = rowNumber();
    std::optional<long long> assigned;
    if (first) {
        skipSpaces();
        if (exchangeSign()) {
            skipSpaces();
            const qsizetype secondAt = m_i;
            const std::optional<long long> second = rowNumber();
            if (!second)
                return refuse(OperationRefusal::NotAnOperation, m_i);
            skipSpaces();
            if (!atEnd())
                return refuse(OperationRefusal::NotAnOperation, m_i);
            if (outOfRange(*first))
                return refuse(OperationRefusal::RowOutOfRange, firstAt, *first);
            if (outOfRange(*second))
                return refuse(OperationRefusal::RowOutOfRange, secondAt, *second);
            if (*first == *second)
                return refuse(OperationRefusal::ExchangeWithItself, secondAt);
            result.operation.kind = RowOperation::Kind::Exchange;
            result.operation.row = int(*first - 1);
            result.operation.other = int(*second - 1);
            return result;
        }
        if (take(u'='))
            assigned = first;
        else
            m_i = firstAt;
    }

    std::vector<Term> terms;
    if (!expression(terms) || (skipSpaces(), !atEnd())) {
        if (!failed())
            fail(OperationRefusal::NotAnOperation);
        return refuse(m_refusal, m_at);
    }
    if (assigned && outOfRange(*assigned))
        return refuse(OperationRefusal::RowOutOfRange, firstAt, *assigned);
    for (const Term &t : terms)
        if (outOfRange(t.row))
            return refuse(OperationRefusal::RowOutOfRange, t.at, t.row);

    // The row replaced: the one on the left, else the first on the right.
    const long long target = assigned ? *assigned : terms.front().row;
    RowOperation &op = result.operation;
    op.row = int(target - 1);
    op.factor = 0;
    bool seenTarget = false;
    bool seenOther = false;
    for (const Term &t : terms) {
        if (t.row == target) {
            if (seenTarget)
                return refuse(OperationRefusal::RowAddedToItself, t.at);
            seenTarget = true;
            op.factor = t.coefficient;
            op.divides = t.divided;
        } else if (!seenOther) {
            seenOther = true;
            op.other = int(t.row - 1);
            op.multiple = t.coefficient;
        } else {
            // A third row, or the other row twice: no single operation.
            return refuse(OperationRefusal::NotAnOperation, t.at);
        }
    }
    if (op.factor == 0)
        return refuse(OperationRefusal::ZeroFactor, assigned ? firstAt : terms.front().at);
    if (!seenOther) {
        // "R2" alone, or "R2 = R2", states no operation.
        if (terms.size() == 1 && terms.front().bare)
            return refuse(OperationRefusal::NotAnOperation, m_i);
        op.kind = RowOperation::Kind::Scale;
        op.other = op.row;
    } else {
        op.divides = false;
    }
    return result;
}

} // namespace

ParsedOperation parseOperation(QStringView line, int order)
{
    return Reader(line).read(order);
}

std::optional<mpq_class> readNumber(QStringView text, qsizetype &at, bool &zeroDenominator)
{
    return Reader(text).number(at, zeroDenominator);
}

} // namespace ravno
