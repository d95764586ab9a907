// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers as text: the lenient leading-number parse used for every piece of
// the editor's array text, for the order and for stored values, and the
// three ways the program writes a number: the answer form "##0.000", the
// general form of the preview and the print form of the array files.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

namespace ravno {

// Reads the number a text begins with. Blanks, tabs and line feeds are
// ignored wherever they stand; then an optional sign, digits with at most one
// "." and an optional exponent (E or D), or an &H / &O integer. Reading stops
// at the first character that cannot continue the number. Nothing read, and a
// number beyond the range of a double, give 0: this never fails.
double parseLeadingNumber(QStringView text);

// The same parse, telling also whether the number took the whole text, so
// that the editor can say how a piece like "1,5" or "3abc" was read.
struct LeadingNumber
{
    double value = 0;
    // The text is one number and nothing else but blanks; false for a text
    // without a number and for one beyond the range of a double.
    bool whole = false;
    // Where the number ends in the text (past the blanks after it).
    qsizetype end = 0;
};
LeadingNumber readLeadingNumber(QStringView text);

// Nearest whole number, halves to even (2.5 gives 2, 3.5 gives 4).
double roundHalfEven(double value);

// "##0.000": optional minus, at least one integer digit, three decimals, no
// grouping, the locale's decimal separator. The value's shortest decimal form
// is rounded half away from zero (0.0625 gives 0.063). A value that rounds to
// zero has no minus sign. Infinity and NaN give a word, never "inf".
QString formatAnswer(double value, const QLocale &locale);

// The general form of the preview: "-" for negatives, at most 15 significant
// digits, no trailing zeros, the locale's separator, exponent form ("1E+15",
// "1E-05") from 1E+15 up and below 1E-04.
QString formatGeneral(double value, const QLocale &locale);

// The print form of the array files: a blank or "-", the general form with
// ".", then a blank. Order 3 is stored as " 9 ", minus two and a half as "-2.5 ".
// A value that 15 significant digits would not bring back keeps 16 or 17,
// so that every value reads back as the same double.
QString formatPrint(double value);
// The same into a buffer of at least kPrintFormMaxChars characters, for the
// writers of many numbers; returns the end of what it wrote.
inline constexpr int kPrintFormMaxChars = 32;
char *writePrintForm(double value, char *out);

} // namespace ravno
