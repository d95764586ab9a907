// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's one-line array text: its pieces, how they fill the workspace
// row by row (each row's coefficients, then its right-hand side, reused
// cyclically when there are too few), and the preview caption that shows the
// system. The editor window calls this whenever its order or its text changes.
#pragma once

#include "core/workspace.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace ravno {

inline const QString kPreviewTitle = QStringLiteral("Массив");

// Splits on every single blank; neighbouring blanks give empty pieces, and
// an empty text gives no pieces at all.
QStringList splitPieces(const QString &text);

// The order held by an order text: its leading number, halves to even.
int orderFromText(const QString &orderText);

// Fills the workspace of order n from the text and returns the preview
// caption: "Массив", then for each row LF CR, two blanks before each
// coefficient and "   |   " before the right-hand side. A piece that is a
// fraction as a whole ("1/3", readFraction()) is that fraction: the
// workspace then keeps every value exactly beside its double, and the
// caption shows the fraction in lowest terms; any other piece is its
// leading number. An empty text changes nothing and returns no caption. A
// workspace of another shape (as left by "Выгрузить массив") is first
// resized to order n.
std::optional<QString> fillFromText(Workspace &workspace, int n, const QString &text,
                                    const QLocale &locale);

// A piece of the array text that is neither a number nor a fraction as a
// whole ("1,5", "3abc", "abc", "1/0", "1/2/3"), and the value it counts as
// all the same: its leading number.
struct MisreadPiece
{
    QString piece;
    double value = 0;
    // A comma between digits right after the number read: a decimal comma.
    bool decimalComma = false;
    // A fraction a/b with b zero ("1/0"): the division is not made.
    bool divisionByZero = false;
};

// The first such piece among those that fill a workspace of order n. Empty
// pieces (two blanks in a row, a trailing blank) stand for 0 by design and
// are not counted; neither are the pieces past the n(n+1)-th, which are
// never used.
std::optional<MisreadPiece> firstMisreadPiece(const QString &text, int n);

// The caption as a label shows it: one row of the system on each line.
QString previewForDisplay(const QString &caption);

} // namespace ravno
