// SPDX-License-Identifier: GPL-3.0-or-later
// A paste into the editor's contents box, as copied from a spreadsheet or a
// text file: rows on lines, cells between tabs, semicolons or blanks,
// numbers perhaps in Russian form (grouped by blanks or no-break spaces, a
// decimal comma). The editor's paste-aware text box calls this for every
// paste and acts on the kind it returns.
#pragma once

#include <QString>

namespace ravno {

// The most values an array may hold, pasted or loaded: far more than the
// 110 of an order-10 system, few enough that the editor's one line of
// numbers loads, shows and repaints within 100 ms (the line is laid out
// whole at every paint; ravno_bench --bounds measures it).
inline constexpr qsizetype kMostValues = 10000;

struct PastedSystem
{
    enum class Kind {
        Typed,   // no line break, tab or semicolon: inserted as typed text
        Cell,    // one cell: text is inserted at the cursor
        System,  // two or more cells: text replaces the contents
        Refused, // text is the cell with a stray blank, or empty for too many cells
    };
    Kind kind = Kind::Typed;
    // The cells in the editor's array text form, joined by single blanks.
    QString text;
    // The order n when the paste held n rows of n + 1 cells (2 <= n <= 10),
    // otherwise 0: the order is then left as it is.
    int order = 0;
    // The cells read, counted at their separators.
    qsizetype cells = 0;
};

// Reads a paste that holds a line break, a tab or a semicolon. Leading and
// trailing blank lines and the blanks around each line are dropped; each
// line is a row. A row with tabs or semicolons has a cell between each two
// of them (an empty one is 0); a row without has cells between runs of
// blanks. In a cell no-break spaces are removed, blanks between groups of
// three digits are dropped ("1 000" is 1000), so is a blank after a leading
// sign ("- 1" is -1); any other blank inside such a cell refuses the paste,
// for it would shift every cell after it. One comma with digits on both
// sides and no point becomes the decimal point; any other cell is kept for
// the usual leading-number parse. More than kMostValues cells are refused,
// and so is typed text of as many pieces.
PastedSystem readPastedSystem(const QString &paste);

} // namespace ravno
