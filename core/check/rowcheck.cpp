// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/check/rowcheck.h"

#include <climits>

namespace ravno {

TypedRow parseTypedRow(QStringView line, int order)
{
    TypedRow result;
    qsizetype i = 0;
    const auto skip = [&] {
        while (i < line.size() && line[i].isSpace())
            ++i;
    };
    skip();
    long long row = 0;
    const qsizetype digitsAt = i;
    while (i < line.size() && line[i] >= u'0' && line[i] <= u'9') {
        row = row > LLONG_MAX / 10 - 10 ? LLONG_MAX / 10 : row * 10 + (line[i].unicode() - u'0');
        ++i;
    }
    skip();
    if (i == digitsAt || i >= line.size() || line[i] != u':')
        return result; // NoRow
    ++i;
    result.typedRow = row;
    if (row < 1 || row > order) {
        result.failure = TypedRow::Failure::RowOutOfRange;
        result.at = digitsAt;
        return result;
    }
    result.row = int(row - 1);
    bool bar = false;
    for (;;) {
        skip();
        if (i >= line.size())
            break;
        if (line[i] == u'|' && !bar && int(result.values.size()) == order) {
            bar = true;
            ++i;
            continue;
        }
        bool zero = false;
        std::optional<mpq_class> value = readNumber(line, i, zero);
        if (!value) {
            result.failure = zero ? TypedRow::Failure::ZeroDenominator : TypedRow::Failure::Unreadable;
            result.at = i;
            return result;
        }
        result.values.push_back(*value);
    }
    result.count = int(result.values.size());
    result.failure = result.count == order + 1 ? TypedRow::Failure::None : TypedRow::Failure::WrongCount;
    result.at = i;
    return result;
}

namespace {

std::vector<mpq_class> combined(const std::vector<mpq_class> &a, const mpq_class &f, const std::vector<mpq_class> &b,
                                const mpq_class &g)
{
    std::vector<mpq_class> out(a.size());
    for (std::size_t k = 0; k < a.size(); ++k)
        out[k] = f * a[k] + g * b[k];
    return out;
}

int agreement(const std::vector<mpq_class> &a, const std::vector<mpq_class> &b)
{
    int same = 0;
    for (std::size_t k = 0; k < a.size(); ++k)
        same += a[k] == b[k];
    return same;
}

// a and b with s = a·x + b·y, when there are such numbers.
bool solvePair(const std::vector<mpq_class> &x, const std::vector<mpq_class> &y, const std::vector<mpq_class> &s,
               mpq_class &a, mpq_class &b)
{
    for (std::size_t p = 0; p < x.size(); ++p)
        for (std::size_t q = p + 1; q < x.size(); ++q) {
            const mpq_class det = x[p] * y[q] - x[q] * y[p];
            if (det == 0)
                continue;
            a = (s[p] * y[q] - s[q] * y[p]) / det;
            b = (x[p] * s[q] - x[q] * s[p]) / det;
            return combined(x, a, y, b) == s;
        }
    return false;
}

} // namespace

RowVerdict checkTypedRow(const ExactMatrix &matrix, int row, const std::vector<mpq_class> &typed)
{
    RowVerdict verdict;
    const auto &own = matrix[std::size_t(row)];
    std::size_t first = 0;
    while (first < own.size() && own[first] == typed[first])
        ++first;
    if (first == own.size()) {
        verdict.unchanged = true;
        return verdict;
    }

    // The rows of one number c, in the order of j (c·row i counted as j = i).
    struct Candidate
    {
        RowOperation operation;
        std::vector<mpq_class> values;
    };
    std::vector<Candidate> candidates;
    for (int j = 0; j < int(matrix.size()); ++j) {
        const auto &other = matrix[std::size_t(j)];
        RowOperation op;
        op.row = row;
        if (j == row) {
            if (own[first] == 0 || typed[first] == 0)
                continue;
            op.kind = RowOperation::Kind::Scale;
            op.other = row;
            op.factor = typed[first] / own[first];
            candidates.push_back({op, combined(own, op.factor, own, 0)});
        } else if (other[first] != 0) {
            op.kind = RowOperation::Kind::Combine;
            op.other = j;
            op.multiple = (typed[first] - own[first]) / other[first];
            candidates.push_back({op, combined(own, 1, other, op.multiple)});
        }
    }
    for (const Candidate &c : candidates)
        if (c.values == typed) {
            verdict.matches = true;
            verdict.operation = c.operation;
            return verdict;
        }
    // A combined step a·row i + b·row j.
    for (int j = 0; j < int(matrix.size()); ++j) {
        mpq_class a, b;
        if (j != row && solvePair(own, matrix[std::size_t(j)], typed, a, b) && a != 0) {
            verdict.matches = true;
            verdict.operation.row = row;
            verdict.operation.other = j;
            verdict.operation.factor = a;
            verdict.operation.multiple = b;
            return verdict;
        }
    }

    // No operation gives it: the nearest row says where it goes wrong. With
    // none at all, the entry can be changed by no operation on this row.
    const std::vector<mpq_class> *nearest = &own;
    int best = -1;
    for (const Candidate &c : candidates) {
        const int same = agreement(c.values, typed);
        if (same > best) {
            best = same;
            nearest = &c.values;
        }
    }
    std::size_t k = 0;
    while ((*nearest)[k] == typed[k])
        ++k;
    verdict.column = int(k);
    verdict.expected = (*nearest)[k];
    verdict.typed = typed[k];
    return verdict;
}

} // namespace ravno
