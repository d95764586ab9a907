// SPDX-License-Identifier: GPL-3.0-or-later
// The machine-word arithmetic of the exact elimination: products in 128
// bits, exact division, and a flag, not an exception, for a number that no
// longer fits a word (the elimination then goes on in GMP integers, and in
// most solves of two-digit integers it does, so unwinding would cost more
// than the column left).
#pragma once

#include <bit>
#include <climits>
#include <cstdint>
#include <vector>

namespace ravno {

__extension__ typedef __int128 Wide;
__extension__ typedef unsigned __int128 UnsignedWide;

inline std::uint64_t magnitude(std::int64_t v)
{
    return v < 0 ? 0 - std::uint64_t(v) : std::uint64_t(v);
}

// A word never holds INT64_MIN, so every value can be negated.
inline std::int64_t narrow(Wide v, bool &overflow)
{
    if (v > INT64_MAX || v <= INT64_MIN) {
        overflow = true;
        return 0;
    }
    return std::int64_t(v);
}

// |a| / sa > |b| / sb, the scales positive.
inline bool greater(std::int64_t a, std::int64_t sa, std::int64_t b, std::int64_t sb)
{
    return UnsignedWide(magnitude(a)) * std::uint64_t(sb) > UnsignedWide(magnitude(b)) * std::uint64_t(sa);
}

// Exact division by a machine word: the quotient is the dividend times the
// inverse of the divisor's odd part modulo 2^64, checked by multiplying
// back, which also tells a quotient beyond a word.
class WordDivisor
{
public:
    explicit WordDivisor(std::int64_t divisor) : m_divisor(divisor)
    {
        if (divisor == 1)
            return;
        std::uint64_t odd = magnitude(divisor);
        m_shift = std::countr_zero(odd);
        odd >>= m_shift;
        // 3 * odd XOR 2 is right in 5 bits; each step doubles them.
        std::uint64_t inverse = (3 * odd) ^ 2;
        for (int i = 0; i < 4; ++i)
            inverse *= 2 - odd * inverse;
        m_inverse = inverse;
    }

    std::int64_t divide(Wide dividend, bool &overflow) const
    {
        if (m_divisor == 1)
            return narrow(dividend, overflow);
        std::int64_t q = std::int64_t(std::uint64_t(dividend >> m_shift) * m_inverse);
        if (q == INT64_MIN) {
            overflow = true;
            return 0;
        }
        if (m_divisor < 0)
            q = -q;
        if (Wide(q) * m_divisor != dividend) {
            overflow = true;
            return 0;
        }
        return q;
    }

    // The same of a dividend the divisor is known to divide, both products
    // having been below 2^62: the quotient needs no check.
    std::int64_t divideExactly(std::int64_t dividend) const
    {
        const std::int64_t q = std::int64_t(std::uint64_t(dividend >> m_shift) * m_inverse);
        return m_divisor < 0 ? -q : q;
    }

private:
    std::int64_t m_divisor;
    int m_shift = 0;
    std::uint64_t m_inverse = 1;
};

// (d b - sum row[c] x[c] over c in from..to-1) / divisor, exact.
inline std::int64_t substitute(std::int64_t d, std::int64_t b, const std::int64_t *row,
                               const std::vector<std::int64_t> &x, int from, int to, std::int64_t divisor,
                               bool &overflow)
{
    Wide sum = Wide(d) * b;
    for (int c = from; c < to; ++c) {
        const Wide term = Wide(row[c]) * x[std::size_t(c)];
        if (__builtin_sub_overflow(sum, term, &sum)) {
            overflow = true;
            return 0;
        }
    }
    return WordDivisor(divisor).divide(sum, overflow);
}

} // namespace ravno
