// SPDX-License-Identifier: GPL-3.0-or-later
// The answer form "##0.000", made in one place: a value num / den rounded
// once to thousandths, half away from zero, written with at least one whole
// digit, three decimals and the locale's separator, without a minus when it
// rounds to zero. The answer line, the matrix text, the report's rounded
// answers and the form of a double all come from here.
//
// The count of thousandths, floor((2000 |num| + den) / (2 den)), is found in
// the smallest of three tiers that holds the operands: machine words, 128
// bits, GMP integers. Each tier is callable alone, so that a test can run
// every one on the same values.
#pragma once

#include "core/exact/wordarithmetic.h"

#include <gmpxx.h>

#include <QString>
#include <QStringView>

#include <cstdint>

namespace ravno {

// The most characters writeAnswer() writes with a one-character separator:
// a minus, 17 whole digits, the separator and three decimals.
inline constexpr int kAnswerMaxChars = 22;

// The count in machine words: magnitude and den below 2^63, den positive.
// False when the count passes a word.
bool wordThousandths(std::uint64_t magnitude, std::uint64_t den, std::uint64_t &count);
// The count in 128 bits: magnitude below 2^116, den positive below 2^126.
// False when the count passes a word.
bool wideThousandths(UnsignedWide magnitude, UnsignedWide den, std::uint64_t &count);
// The count in GMP integers, of any num and positive den.
void bigThousandths(const mpz_class &num, const mpz_class &den, mpz_class &count);

// The magnitude of a GMP integer of at most two limbs.
inline UnsignedWide wideMagnitude(const mpz_class &v)
{
    static_assert(sizeof(mp_limb_t) == 8);
    return UnsignedWide(mpz_getlimbn(v.get_mpz_t(), 0)) | UnsignedWide(mpz_getlimbn(v.get_mpz_t(), 1)) << 64;
}

// "##0.000" of num / den at `out`, moved past it (at most kAnswerMaxChars
// characters); false, with nothing written, when the count of thousandths
// passes a machine word. den positive, the fraction not necessarily
// reduced.
bool writeAnswer(char16_t *&out, std::int64_t num, std::int64_t den, char16_t point);
bool writeAnswer(char16_t *&out, const mpz_class &num, const mpz_class &den, char16_t point);

// The same appended to `out`, of any size, with any separator.
void appendAnswer(QString &out, std::int64_t num, std::int64_t den, QStringView point);
void appendAnswer(QString &out, const mpz_class &num, const mpz_class &den, QStringView point);

} // namespace ravno
