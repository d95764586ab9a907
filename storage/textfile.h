// SPDX-License-Identifier: GPL-3.0-or-later
// Plain text on disk: windows-1251, lines ended by CR LF. Whole files are
// replaced through a new file beside them, flushed and checked before it is
// renamed over the old one, so a full disk, a file-size limit or a kill
// keeps the old content whole, and the file keeps its permission bits. In a
// folder where no file can be made (a read-only one) a whole rewrite is
// refused: written in place, no failure could be undone. An append goes out
// as one write, in place; one that fails part way is cut back to the former
// end. Every file is reached relative to its folder, never through a link
// that leads out of it (storage/folderaccess.h). Readers stream the file a
// slice at a time, accept LF alone as well, and refuse a line longer than
// kMostLineBytes.
#pragma once

#include "storage/fileresult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

namespace ravno {

// The line end the files hold.
inline const QString kLineEnd = QStringLiteral("\r\n");

QByteArray encodeText(const QString &text);
QString decodeText(const QByteArray &bytes);
// The characters of text that windows-1251 cannot hold, each once, in order
// of appearance; empty when the whole text can be stored.
QString charactersOutsideCodePage(const QString &text);

// What a view was filled from: the length and digest of the file's bytes.
struct FileSnapshot
{
    qint64 size = -1; // -1: none taken
    QByteArray digest;
    bool taken() const { return size >= 0; }
};

// path is absolute; shownName is what messages call the file ("files/lastans").
// Writers store every line end as CR LF, refuse a text with characters the
// code page lacks, refuse a name too long for the file system (with room
// for the temporary file beside it), and never create a missing folder.
// written, when given, receives the snapshot of the bytes written.
Status replaceFile(const QString &path, const QString &shownName, const QString &text,
                   FileSnapshot *written = nullptr);
Status appendToFile(const QString &path, const QString &shownName, const QString &text);
// Replaces a file by bytes as they are (the detailed report as PDF), with
// the same care as the text writers.
Status replaceFileBytes(const QString &path, const QString &shownName, const QByteArray &bytes);

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

// The lines of a decoded text, split at CR LF or LF; a final line end gives
// no extra empty line, and a CR that ends the text is taken for a line end.
QStringList splitLines(const QString &text);

} // namespace ravno
