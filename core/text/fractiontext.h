// SPDX-License-Identifier: GPL-3.0-or-later
// Fractions as a person types them into the array text ("1/3", "-2.5/7")
// and as the program writes them back: in the preview, in the array files
// where a number's print form would read back as another number, and in
// the detailed report. The array text, the array file writer and the
// report call it; every other piece keeps the leading-number parse.
#pragma once

#include <gmpxx.h>

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace ravno {

// A piece read as a fraction, or why it is none.
struct PieceFraction
{
    enum class Kind {
        None,           // not of the form a/b: the leading number counts
        Fraction,       // value holds a/b in lowest terms
        DivisionByZero, // of the form a/b with b zero: the leading number counts
    };
    Kind kind = Kind::None;
    mpq_class value;
};

// The most digits of a whole a or b read as it stands: more than any
// fraction of two typed decimals has in lowest terms (about 660).
inline constexpr qsizetype kFractionDigits = 1000;

// The whole piece "a/b": a and b numbers of digits with at most one "."
// and an optional exponent (E or D), each as the leading-number parse
// reads it, within the range of a double; a minus sign ("-" or "−") may
// stand before a; nothing else, no blank, tab or line feed. Each of a and
// b stands for its shortest decimal, as a typed number does, so "2.5/3"
// is 5/6 and "1e-300/3" is exact; one of digits alone (up to
// kFractionDigits) is that whole number, however large.
PieceFraction readFraction(QStringView piece);

// In lowest terms with "-" before a negative one: "1/3", "-2/7"; a whole
// number as its digits ("2" for 6/3). For the preview.
QString fractionText(const mpq_class &value);

// True when the array files can write the value as a number: its nearest
// double, written in print form, reads back as the value itself (1/4,
// 1/10, 6/3, but not 1/3 or a whole number past a double's 53 bits).
bool printFormReadsBack(const mpq_class &value);

// The line the array files hold for a value printFormReadsBack() refuses:
// a blank or "-", the fraction in lowest terms, a blank; a whole number
// keeps "/1" so that it reads back as a fraction, exactly. No line end.
QByteArray fractionPrintForm(const mpq_class &value);

} // namespace ravno
