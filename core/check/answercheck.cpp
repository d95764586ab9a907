// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/check/answercheck.h"
#include "core/check/typedchars.h"

#include <climits>
#include <set>

namespace ravno {
namespace {

using typed::isDigit;
using typed::isMinus;

// Brings the rows to reduced echelon form; the columns of the pivots, in order.
std::vector<int> reduce(ExactMatrix &m, std::size_t columns)
{
    std::vector<int> pivots;
    std::size_t lead = 0;
    for (std::size_t c = 0; c < columns && lead < m.size(); ++c) {
        std::size_t p = lead;
        while (p < m.size() && m[p][c] == 0)
            ++p;
        if (p == m.size())
            continue;
        std::swap(m[p], m[lead]);
        const mpq_class pivot = m[lead][c];
        for (mpq_class &v : m[lead])
            v /= pivot;
        for (std::size_t i = 0; i < m.size(); ++i)
            if (i != lead && m[i][c] != 0) {
                const mpq_class f = m[i][c];
                for (std::size_t j = 0; j < m[i].size(); ++j)
                    m[i][j] -= f * m[lead][j];
            }
        pivots.push_back(int(c));
        ++lead;
    }
    return pivots;
}

class AnswerReader
{
public:
    AnswerReader(QStringView text, int order) : m_text(text), m_order(order) {}

    StudentAnswer read()
    {
        StudentAnswer a;
        QString words = m_text.trimmed().toString().toLower();
        while (words.endsWith(u'.') || words.endsWith(u'!'))
            words.chop(1);
        words = words.simplified();
        if (words == QStringLiteral("нет решений") || words == QStringLiteral("решений нет")
            || words == QStringLiteral("нет решения")) {
            a.failure = StudentAnswer::Failure::None;
            a.noSolutions = true;
            return a;
        }
        skip();
        if (!isUnknownLetter(peek()) || !isDigit(at(m_i + 1)))
            return a; // NoAnswer
        a.unknowns.resize(std::size_t(m_order));
        std::vector<bool> given(std::size_t(m_order), false);
        for (;;) {
            while (!atEnd() && (peek().isSpace() || peek() == u',' || peek() == u';'))
                ++m_i;
            if (atEnd())
                break;
            if (!isUnknownLetter(peek()) || !isDigit(at(m_i + 1)))
                return fail(a, StudentAnswer::Failure::Unreadable);
            const qsizetype nameAt = m_i++;
            const long long index = number();
            if (index < 1 || index > m_order) {
                m_i = nameAt;
                a.unknown = int(std::min<long long>(index, INT_MAX));
                return fail(a, StudentAnswer::Failure::UnknownOutOfRange);
            }
            if (given[std::size_t(index - 1)]) {
                m_i = nameAt;
                a.unknown = int(index - 1);
                return fail(a, StudentAnswer::Failure::Twice);
            }
            given[std::size_t(index - 1)] = true;
            skip();
            if (peek() != u'=')
                return fail(a, StudentAnswer::Failure::Unreadable);
            ++m_i;
            if (!expression(a.unknowns[std::size_t(index - 1)]))
                return fail(a, m_zero ? StudentAnswer::Failure::ZeroDenominator : StudentAnswer::Failure::Unreadable);
        }
        for (int i = 0; i < m_order; ++i)
            if (!given[std::size_t(i)]) {
                a.unknown = i;
                return fail(a, StudentAnswer::Failure::Missing);
            }
        a.failure = StudentAnswer::Failure::None;
        return a;
    }

private:
    static bool isUnknownLetter(QChar c) { return c == u'x' || c == u'X' || c == u'х' || c == u'Х'; }
    QChar at(qsizetype i) const { return i < m_text.size() ? m_text[i] : QChar(); }
    QChar peek() const { return at(m_i); }
    bool atEnd() const { return m_i >= m_text.size(); }
    void skip()
    {
        while (!atEnd() && peek().isSpace())
            ++m_i;
    }
    long long number()
    {
        long long n = 0;
        while (isDigit(peek())) {
            n = n > LLONG_MAX / 10 - 10 ? LLONG_MAX / 10 : n * 10 + (peek().unicode() - u'0');
            ++m_i;
        }
        return n;
    }
    StudentAnswer fail(StudentAnswer &a, StudentAnswer::Failure failure)
    {
        a.failure = failure;
        a.at = m_i;
        return a;
    }
    // t1, t2, ...: the index from 0, or -1 with nothing read.
    int parameter()
    {
        if (peek() != u't' || !isDigit(at(m_i + 1)))
            return -1;
        const qsizetype start = m_i++;
        const long long k = number();
        if (k < 1 || k > 1000) {
            m_i = start;
            return -1;
        }
        return int(k - 1);
    }
    bool times()
    {
        skip();
        if (peek() == u'*' || peek() == u'·' || peek() == u'⋅') {
            ++m_i;
            skip();
            return true;
        }
        return false;
    }
    // [sign] term (sign term)..., each term a number, a parameter, or both.
    bool expression(StudentUnknown &x)
    {
        skip();
        bool negative = false;
        if (isMinus(peek()) || peek() == u'+') {
            negative = isMinus(peek());
            ++m_i;
        }
        for (;;) {
            skip();
            mpq_class value = 1;
            bool zero = false;
            const std::optional<mpq_class> n = readNumber(m_text, m_i, zero);
            if (zero) {
                m_zero = true;
                return false;
            }
            if (n)
                value = *n;
            const qsizetype afterNumber = m_i;
            const bool multiplied = n ? times() : false;
            int k = parameter();
            if (k < 0) {
                if (!n || multiplied)
                    return false;
                m_i = afterNumber;
            } else if (!n) {
                const qsizetype afterParameter = m_i;
                if (times()) {
                    bool zeroAfter = false;
                    const std::optional<mpq_class> after = readNumber(m_text, m_i, zeroAfter);
                    if (!after) {
                        m_zero = zeroAfter;
                        return false;
                    }
                    value = *after;
                } else {
                    m_i = afterParameter;
                }
            }
            if (negative)
                value = -value;
            if (k < 0)
                x.constant += value;
            else if ((x.perParameter[k] += value) == 0)
                x.perParameter.erase(k);
            skip();
            if (!isMinus(peek()) && peek() != u'+')
                return true;
            negative = isMinus(peek());
            ++m_i;
        }
    }

    QStringView m_text;
    int m_order;
    qsizetype m_i = 0;
    bool m_zero = false;
};

// The first equation of the system that the values break, with the
// right-hand side taken (`homogeneous` false) or left out; -1 when all hold.
int brokenEquation(const ExactMatrix &system, const std::vector<mpq_class> &x, bool homogeneous)
{
    const std::size_t n = system.size();
    for (std::size_t e = 0; e < n; ++e) {
        mpq_class sum = 0;
        for (std::size_t j = 0; j < n; ++j)
            sum += system[e][j] * x[j];
        if (sum != (homogeneous ? mpq_class(0) : system[e][n]))
            return int(e);
    }
    return -1;
}

} // namespace

StudentAnswer parseAnswer(QStringView line, int order)
{
    return AnswerReader(line, order).read();
}

AnswerVerdict checkAnswer(const ExactMatrix &system, const StudentAnswer &answer)
{
    AnswerVerdict v;
    const std::size_t n = system.size();
    ExactMatrix r = system;
    const std::vector<int> pivots = reduce(r, n + 1);
    v.rankAugmented = int(pivots.size());
    v.rankCoefficients = int(pivots.size()) - (!pivots.empty() && pivots.back() == int(n));
    v.noSolutions = v.rankCoefficients < v.rankAugmented;
    if (v.noSolutions) {
        v.kind = answer.noSolutions ? AnswerVerdict::Kind::Right : AnswerVerdict::Kind::Inconsistent;
        return v;
    }
    if (answer.noSolutions) {
        v.kind = AnswerVerdict::Kind::HasSolutions;
        return v;
    }
    std::vector<int> freeColumns;
    for (int c = 0, p = 0; c < int(n); ++c) {
        if (p < int(pivots.size()) && pivots[std::size_t(p)] == c)
            ++p;
        else
            freeColumns.push_back(c);
    }
    v.parameters = int(freeColumns.size());
    v.unique = freeColumns.empty();

    // The general solution: x = g[i].constant + sum of g[i].perParameter[m]·t(m+1).
    std::vector<StudentUnknown> general(n);
    for (std::size_t m = 0; m < freeColumns.size(); ++m)
        general[std::size_t(freeColumns[m])].perParameter[int(m)] = 1;
    for (std::size_t row = 0; row < pivots.size(); ++row) {
        StudentUnknown &x = general[std::size_t(pivots[row])];
        x.constant = r[row][n];
        for (std::size_t m = 0; m < freeColumns.size(); ++m)
            if (r[row][std::size_t(freeColumns[m])] != 0)
                x.perParameter[int(m)] = -r[row][std::size_t(freeColumns[m])];
    }

    std::set<int> used;
    for (const StudentUnknown &x : answer.unknowns)
        for (const auto &[k, c] : x.perParameter)
            used.insert(k);

    // The student's free unknowns are the report's: x(f) = t(σ(m)) alone.
    std::vector<int> sigma;
    for (int f : freeColumns) {
        const StudentUnknown &x = answer.unknowns[std::size_t(f)];
        if (x.constant != 0 || x.perParameter.size() != 1 || x.perParameter.begin()->second != 1)
            break;
        sigma.push_back(x.perParameter.begin()->first);
    }
    const bool sameFree = sigma.size() == freeColumns.size() && std::set<int>(sigma.begin(), sigma.end()).size()
                                                                  == sigma.size()
                          && used.size() == sigma.size();
    if (sameFree) {
        for (std::size_t i = 0; i < n; ++i) {
            const StudentUnknown &s = answer.unknowns[i];
            bool same = s.constant == general[i].constant && s.perParameter.size() == general[i].perParameter.size();
            for (std::size_t m = 0; m < sigma.size() && same; ++m) {
                const auto mine = s.perParameter.find(sigma[m]);
                const auto theirs = general[i].perParameter.find(int(m));
                same = (mine == s.perParameter.end()) == (theirs == general[i].perParameter.end())
                       && (mine == s.perParameter.end() || mine->second == theirs->second);
            }
            if (!same)
                v.wrong.push_back(int(i));
        }
        v.kind = v.wrong.empty() ? AnswerVerdict::Kind::Right : AnswerVerdict::Kind::WrongUnknowns;
        return v;
    }
    if (v.unique) {
        // Parameters where there is one solution: the set is too large.
        v.kind = AnswerVerdict::Kind::WrongParameters;
        return v;
    }

    // Other free unknowns than the report's: every choice of the
    // parameters must solve the system, and the parameters must be as many
    // as the set needs, each adding a direction of its own.
    std::vector<mpq_class> point(n);
    for (std::size_t i = 0; i < n; ++i)
        point[i] = answer.unknowns[i].constant;
    if ((v.equation = brokenEquation(system, point, false)) >= 0) {
        v.kind = AnswerVerdict::Kind::NotASolution;
        return v;
    }
    ExactMatrix directions;
    for (int k : used) {
        std::vector<mpq_class> d(n);
        for (std::size_t i = 0; i < n; ++i) {
            const auto found = answer.unknowns[i].perParameter.find(k);
            d[i] = found == answer.unknowns[i].perParameter.end() ? mpq_class(0) : found->second;
        }
        if ((v.equation = brokenEquation(system, d, true)) >= 0) {
            v.kind = AnswerVerdict::Kind::NotASolution;
            return v;
        }
        directions.push_back(d);
    }
    const std::size_t independent = directions.empty() ? 0 : reduce(directions, n).size();
    v.kind = used.size() == freeColumns.size() && independent == used.size() ? AnswerVerdict::Kind::Right
                                                                            : AnswerVerdict::Kind::WrongParameters;
    return v;
}

} // namespace ravno
