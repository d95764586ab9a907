// SPDX-License-Identifier: GPL-3.0-or-later
// A whole system pasted into the editor's contents box, as copied from a
// spreadsheet or a text file: rows on lines, cells between tabs or blanks,
// numbers perhaps in Russian form (grouped by no-break spaces, a decimal
// comma). The editor's paste-aware text box calls this for every paste and
// replaces its text with the result.
#pragma once

#include <QString>

#include <optional>

namespace ravno {

struct PastedSystem
{
    // The cells in the editor's array text form, joined by single blanks.
    QString text;
    // The order n when the paste held n rows of n + 1 cells (2 <= n <= 10),
    // otherwise 0: the order is then left as it is.
    int order = 0;
};

// Reads a paste as a whole system when it holds a line break or a tab, and
// returns nothing otherwise (the paste is then inserted as typed text).
// Leading and trailing blank lines and the blanks around each line are
// dropped; each line is a row. A row with tabs has a cell between each two
// tabs (an empty one is 0); a row without tabs has cells between runs of
// blanks. In a cell no-break spaces are removed, and one comma with digits on
// both sides and no point becomes the decimal point; any other cell is kept
// for the usual leading-number parse.
std::optional<PastedSystem> readPastedSystem(const QString &paste);

} // namespace ravno
