// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz targets: each feeds one arbitrary input to one reader of the
// program and checks what must hold for every input. The libFuzzer programs
// in this folder call them (one program per target), and tst_fuzzinputs
// replays the seed inputs and every input that once broke a target.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <span>

namespace ravno::fuzz {

// What went wrong with this input, or an empty text when all held. A crash
// or a sanitizer report is the other way a target fails.
using Check = QString (*)(QByteArrayView input);

struct Target
{
    const char *name; // also the folder of its seed inputs: fuzz/corpus/<name>
    Check run;
};

// The leading-number parse of one text.
QString leadingNumber(QByteArrayView input);
// The first byte picks the order and the locale, the rest is the editor
// text; the filled workspace is then solved.
QString arrayText(QByteArrayView input);
// The first byte picks the order, then eight bytes per entry are a double
// (row by row, as many as there are, the rest 0): the exact solver on it.
QString exactSolve(QByteArrayView input);
// The item reader on one decoded file text.
QString items(QByteArrayView input);
// The input as a saved array and as files/LostMas, read back.
QString arrayFiles(QByteArrayView input);
// The input as the value lines of a saved array of order 10 (a/b lines
// among them), saved and loaded again through both readers.
QString fractionFile(QByteArrayView input);
// The input as files/SaveList, read as names and for display.
QString catalogue(QByteArrayView input);
// The input as files/lastans, paged, read last and listed whole.
QString answerLog(QByteArrayView input);
// The first byte picks UTF-8 or UTF-16, the rest is pasted into the editor.
QString pastedCells(QByteArrayView input);

// The first byte picks the order and UTF-8 or UTF-16, the rest is a line
// as a student types it in the check window: a row operation, a row
// computed on paper or an answer.
QString rowOperation(QByteArrayView input);

std::span<const Target> targets();

} // namespace ravno::fuzz
