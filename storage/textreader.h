// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the files: streamed a slice at a time, so that a file of hundreds
// of megabytes is never held, with LF alone accepted as a line end and no
// line longer than kMostLineBytes taken. Also what the commands that read
// before or after a write share: the rewrite that keeps the lines added
// meanwhile, and whether a failed write lets the reading go on.
#pragma once

#include "storage/fileresult.h"
#include "storage/filesnapshot.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

namespace ravno {

// Replaces the file by text followed by every non-empty line that was added
// to it after basis was taken, in order; those lines are returned, and basis
// becomes the snapshot of what was written. When the file no longer begins
// with the bytes of basis (it was rewritten meanwhile) nothing is written and
// the error is of the kind changed. Call it under the file's lock.
Result<QStringList> replaceKeepingAdded(const QString &path, const QString &shownName,
                                        const QString &text, FileSnapshot &basis,
                                        Failure changed);

// Calls onLine for every line of the file, without its line end (CR LF or
// LF; a final line end gives no extra line), until onLine returns false.
// taken, when given, receives the snapshot of the bytes read (all of them
// only when onLine never stopped the reading).
Status readLines(const QString &path, const QString &shownName,
                 const std::function<bool(QStringView)> &onLine, FileSnapshot *taken = nullptr);
Result<QString> readWholeFile(const QString &path, const QString &shownName);
// The last line of the file that is not empty, or an empty text when there
// is none: read from the end back, so its time and memory do not grow with
// the file.
Result<QString> readLastLine(const QString &path, const QString &shownName);

// Whether the empty line appended before a read failed in a way that leaves
// the file readable (a full disk, a file-size limit, a read-only file or
// folder): the read then goes on, and the failure is told after it. The
// append, cut back, has changed nothing.
bool readableDespite(const FileError &appendFailure, const QString &path);
// That append's failure when the read cannot go on: where the file or its
// folder is not what it should be (the folder missing, say), the command
// that was asked to read says it could not read.
FileError asReadFailure(FileError appendFailure);

// The most bytes a line may hold, its line end not counted. The longest
// line the program writes (an answer of order 10 of numbers near 1e308, an
// array value of two 617-digit integers) has a few thousand; a longer one is
// no line of these files, and reading it would make the file's size decide
// the memory taken.
inline constexpr qsizetype kMostLineBytes = qsizetype(64) << 10;

// The most bytes a view (the answer log's, the catalogue's) shows: its text
// box takes about half a second for each megabyte of short lines, and some
// 15 bytes of memory for each byte shown (ravno_bench --bounds), so a
// larger file would freeze the window for seconds.
inline constexpr qint64 kMostShownBytes = qint64(2) << 20;
// The refusal of a view that would show more than that; it names the
// file's real size. The bound is counted on what the view shows, never on
// the file's size, so that a view saved back can always be shown again.
FileError tooLargeToShow(const QString &path, const QString &shownName);

} // namespace ravno
