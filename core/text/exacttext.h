// SPDX-License-Identifier: GPL-3.0-or-later
// Exact values as text, for the detailed report: a value whose decimal form
// ends is written with the locale's separator, from 10^15 up and below
// 10^-4 as a power of ten ("1,5·10¹⁵"), any other as a fraction in lowest
// terms with its sign in front ("-2/7"). Values of more than kLongDigits
// digits can be shortened to four digits, rounded, and the count of digits
// before the decimal separator.
#pragma once

#include <gmpxx.h>

#include <QLocale>
#include <QString>

#include <vector>

namespace ravno {

inline constexpr int kLongDigits = 40;

enum class Length {
    Whole, // every digit, however many, powers as "·10^15": for plain text
    Short, // a long value as "≈ 1,234·10¹⁵ (16 цифр)", powers as superscripts,
           // the minus sign "−" (U+2212): for the report on screen and paper
};

// How a value whose decimal form ends is written.
enum class Notation {
    Decimal,  // "-4,25", as the system was typed
    Fraction, // "-17/4": whole numbers and powers of ten below 10^-4 stay as they
              // are, so that a step does not mix decimals with fractions
};

QString exactText(const mpq_class &value, const QLocale &locale, Length length = Length::Whole,
                  Notation notation = Notation::Decimal);

// The same of num/den (den not 0), in whatever terms: a value plainly long
// is shortened without being reduced.
QString exactText(const mpz_class &num, const mpz_class &den, const QLocale &locale, Length length,
                  Notation notation);

// A text of Length::Short as the runs it is set in, each exponent raised
// and written in plain digits: "1·10⁻²⁵¹" is "1·10", then "−251" raised.
struct TextRun
{
    QString text;
    bool raised = false;
};
std::vector<TextRun> exponentRuns(const QString &text);

// True when the text of the value is longer than kLongDigits digits.
bool isLong(const mpq_class &value, Notation notation = Notation::Decimal);

// The value rounded once to three decimals, half away from zero, as
// "##0.000" with the locale's separator; no minus on a value that rounds to
// zero.
QString roundedText(const mpq_class &value, const QLocale &locale);

// "1 цифра", "3 цифры", "57 цифр": the number with its word in the right
// form.
QString countWithWord(long count, const char *one, const char *few, const char *many);

} // namespace ravno
