// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the text file writers and readers of storage/ only.
#pragma once

#include "storage/fileresult.h"

#include <QCryptographicHash>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>

namespace ravno {

inline const char *const kCodePage = "windows-1251";
inline constexpr auto kSnapshotDigest = QCryptographicHash::Sha1;

FileError writeError(Failure kind, const QString &shownName, const QString &system = QString());
FileError readError(Failure kind, const QString &shownName, const QString &system = QString());

// What stands in the way of reading or writing path, or nothing: checked
// before any byte moves, so that the common faults get a plain message.
std::optional<FileError> obstacle(const QString &path, const QString &shownName, Access access);

// Opens file (its name set) as a regular file only, never blocking on a
// fifo; the error when it is something else or cannot be opened.
std::optional<FileError> openRegular(QFile &file, QIODevice::OpenMode mode,
                                     const QString &shownName, Access access);

// The reason text cannot be stored (a character the code page lacks would
// come back as another one), or nothing.
std::optional<FileError> refuseText(const QString &text, const QString &shownName);

// Writes all of bytes; false when any is missing, with the device's error
// set to the system's reason.
bool writeAll(QIODevice &out, const QByteArray &bytes);

// Replaces path by what produce writes into the device it is given; false
// from produce (or a failed write) leaves the old file as it was.
using Producer = std::function<bool(QIODevice &)>;
Status writeWhole(const QString &path, const QString &shownName, const Producer &produce);

} // namespace ravno
