// SPDX-License-Identifier: GPL-3.0-or-later
// Exact values as text, for the detailed report: a value whose decimal form
// ends is written with the locale's separator, from 10^15 up and below
// 10^-4 as a power of ten ("1,5·10¹⁵"), any other as a fraction in lowest
// terms with its sign in front ("-2/7"). Values of more than kLongDigits
// digits can be shortened to their first digits and the count.
#pragma once

#include <gmpxx.h>

#include <QLocale>
#include <QString>

namespace ravno {

inline constexpr int kLongDigits = 40;

enum class Length {
    Whole, // every digit, however many, powers as "·10^15": for plain text
    Short, // a long value as "≈ 1,234…·10¹⁵ (57 цифр)", powers as superscripts
};

QString exactText(const mpq_class &value, const QLocale &locale, Length length = Length::Whole);

// True when the text of the value is longer than kLongDigits digits.
bool isLong(const mpq_class &value);

// The value rounded once to three decimals, half away from zero, as
// "##0.000" with the locale's separator; no minus on a value that rounds to
// zero.
QString roundedText(const mpq_class &value, const QLocale &locale);

// "1 цифра", "3 цифры", "57 цифр": the number with its word in the right
// form.
QString countWithWord(long count, const char *one, const char *few, const char *many);

} // namespace ravno
