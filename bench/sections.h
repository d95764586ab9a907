// SPDX-License-Identifier: GPL-3.0-or-later
// The parts of ravno_bench besides the large-file table: the order-10 work a
// user waits for at every click, and the start of the program until its main
// window is shown.
#pragma once

#include "storage/datafolder.h"

#include <QString>
#include <QStringList>

class QProcess;

namespace ravno::bench {

// This program again, as a child on the offscreen platform, in `folder`.
void prepareChild(QProcess &child, const QString &program, const QStringList &arguments,
                  const QString &folder);

// n pieces of the editor text: varied numbers so that the print form and the
// parse both do real work.
QString editorText(qsizetype n);

// Solve, parse and preview, array file write and read, all at order 10.
// The order-10 solve of random digits as "RND" makes them.
bool benchSolveOrderTen();

bool benchOrderTen(const DataFolder &folder);

// A saved array of a million value lines, written once and loaded five
// times by each reader, which refuse it past the editor's bound (the
// last-array reader adds an empty line each time).
bool benchMillionLines(const DataFolder &folder);

// Starts this program `runs` times with startupChildOption and as often
// with emptyWindowOption, taking turns, and times each from the start of the
// process until the child reports its window shown; the child's own count
// (from main() on) and its resident memory then are reported beside it, and
// the program's medians against the empty window's.
bool benchStartup(const QString &program, int runs);

inline const char *const startupChildOption = "--startup-child";
// An empty Qt main window, shown the same way: the floor to compare with.
inline const char *const emptyWindowOption = "--empty-window";
// The child's side: builds the program's main window (or the empty one),
// shows it on the offscreen platform, waits until it is exposed and prints
// the time and the resident memory.
int startupChild(int argc, char *argv[]);

// Starts this program with editorChildOption, in which the array editor
// loads a last array of `values` numbers ("Загрузить последний массив") and
// saves it again ("Готово"), as a user would; both are timed in the child.
bool benchEditor(const QString &program, int values);

inline const char *const editorChildOption = "--editor-child";
int editorChild(int argc, char *argv[]);

} // namespace ravno::bench
