// SPDX-License-Identifier: GPL-3.0-or-later
// Exact values of the numbers a person types and of the answers: what a
// double stands for, the nearest double of an exact value, and the answer
// form "##0.000" rounded once from the exact value. The solver and the
// detailed report use them.
#pragma once

#include <gmpxx.h>

#include <QLocale>
#include <QString>

#include <cstdint>

namespace ravno {

// The shortest decimal that reads back as the double (at most 17
// significant digits, the one nearest the double on a tie), exactly. For a
// number of up to 15 significant digits this is the number as typed. Not
// finite values give 0.
mpq_class exactValue(double value);
// The same as digits * 10^exponent, the digits at most 17 (a whole number
// below 2^53 is itself with exponent 0): for the solver, which scales each
// row to whole numbers without a fraction in between.
void shortestDecimal(double value, std::int64_t &digits, int &exponent);

// The double nearest the exact value, halves to even; beyond the largest
// double, infinity of the value's sign.
double nearestDouble(const mpq_class &value);
// The same of num / den, den positive, the fraction not necessarily reduced.
double nearestRatio(const mpz_class &num, const mpz_class &den);
double nearestRatio(std::int64_t num, std::int64_t den);

// True when the value's nearest double is infinite: such an answer cannot
// be kept as a double, and the answer line says "Ответ вне диапазона чисел".
// Values between the largest double and 2^1024 - 2^970 round down to it and
// are in range.
bool beyondDoubleRange(const mpq_class &value);

// "##0.000" from the exact value: rounded once to three decimals, half away
// from zero, without a minus when it rounds to zero, the locale's decimal
// separator. A value whose nearest double is infinite gives the same word as
// formatAnswer() for infinity.
QString formatExact(const mpq_class &value, const QLocale &locale);
// The same appended to `out`, with the locale's decimal separator `point`
// found once by the caller, for the writers of many values.
void appendExact(QString &out, const mpq_class &value, const QString &point, const QLocale &locale);
// The same of num / den, den positive, the fraction not necessarily reduced.
void appendRatio(QString &out, const mpz_class &num, const mpz_class &den, const QString &point,
                 const QLocale &locale);
void appendRatio(QString &out, std::int64_t num, std::int64_t den, const QString &point,
                 const QLocale &locale);
} // namespace ravno
