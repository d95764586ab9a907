// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the text file writers and readers of storage/ only.
#pragma once

#include "storage/fileresult.h"

#include <QCryptographicHash>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace ravno {

inline const char *const kCodePage = "windows-1251";
inline constexpr auto kSnapshotDigest = QCryptographicHash::Sha1;

// Texts reach a million lines: they go out a slice of about this many
// characters at a time, never as one whole copy.
inline constexpr qsizetype kSlice = qsizetype(1) << 20;

// The text with every line end made CR LF, encoded.
QByteArray encodeWithCrLf(const QString &text);
// Where a writer puts its bytes: the open file, and errno as the call that
// failed left it, taken before anything else can change it.
struct Sink
{
    QIODevice &device;
    int error = 0;
};

// Writes text with CR LF line ends, in slices cut after a line end; digest,
// when given, takes in the bytes written.
bool putText(Sink &out, QStringView text, QCryptographicHash *digest);

// system: the system's words; error: errno where the failing call left one.
FileError writeError(Failure kind, const QString &shownName, const QString &system = QString(),
                     int error = 0);
FileError readError(Failure kind, const QString &shownName, const QString &system = QString(),
                    int error = 0);
// The failure of a call that left errno error, in the system's words for it.
FileError systemError(Failure kind, const QString &shownName, Access access, int error);
// A line over kMostLineBytes, refused.
FileError lineTooLong(const QString &shownName);
// The failure of a call that left errno error, where the kind says all the
// words need to: the number is kept, no words are added.
FileError quietError(Failure kind, const QString &shownName, Access access, int error);
// A failure that names the folder too.
FileError inFolder(Failure kind, const QString &shownName, Access access, const QString &folder,
                   int error = 0);

// Opens path for reading as a regular file inside its folder (a link
// inside followed, see storage/folderaccess.h); the error when it cannot.
std::optional<FileError> openForReading(QFile &file, const QString &path,
                                        const QString &shownName);

// The reason text cannot be stored (a character the code page lacks would
// come back as another one), or nothing.
std::optional<FileError> refuseText(const QString &text, const QString &shownName);

// Writes all of bytes; false when any is missing, with the device's error
// set to the system's reason and the sink's error to its errno.
bool writeAll(Sink &out, const QByteArray &bytes);

// Replaces path by what produce writes into the sink it is given; false
// from produce (or a failed write) leaves the old file as it was.
using Producer = std::function<bool(Sink &)>;
Status writeWhole(const QString &path, const QString &shownName, const Producer &produce);

} // namespace ravno
