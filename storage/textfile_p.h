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

// Opens path for reading as a regular file inside its folder (a link
// inside followed, see storage/folderaccess.h); the error when it cannot.
std::optional<FileError> openForReading(QFile &file, const QString &path,
                                        const QString &shownName);

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
