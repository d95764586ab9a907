// SPDX-License-Identifier: GPL-3.0-or-later
// The parts of ravno_bench besides the large-file table: the order-10 work a
// user waits for at every click, and the start of the program until its main
// window is shown.
#pragma once

#include "storage/datafolder.h"

#include <QString>

namespace ravno::bench {

// n pieces of the editor text: varied numbers so that the print form and the
// parse both do real work.
QString editorText(qsizetype n);

// Solve, parse and preview, array file write and read, all at order 10.
bool benchOrderTen(const DataFolder &folder);

// A saved array of a million value lines, written once and loaded five
// times by each reader (the last-array reader adds an empty line each time).
bool benchMillionLines(const DataFolder &folder);

// Starts this program `runs` times with startupChildOption and times each
// from the start of the process until the child reports its main window
// shown; the child's own count (from main() on) is reported beside it.
bool benchStartup(const QString &program, int runs);

inline const char *const startupChildOption = "--startup-child";
// The child's side: builds the program's main window, shows it on the
// offscreen platform, waits until it is exposed and prints the time.
int startupChild(int argc, char *argv[]);

// Starts this program with editorChildOption, in which the array editor
// loads a last array of `values` numbers ("Загрузить последний массив") and
// saves it again ("Готово"), as a user would; both are timed in the child.
bool benchEditor(const QString &program, int values);

inline const char *const editorChildOption = "--editor-child";
int editorChild(int argc, char *argv[]);

} // namespace ravno::bench
