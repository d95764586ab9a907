// SPDX-License-Identifier: GPL-3.0-or-later
// Plain text on disk: windows-1251, lines ended by CR LF. Whole files are
// replaced through QSaveFile, so a failed write keeps the old content whole;
// appends go out as one write. Readers accept LF alone as well.
#pragma once

#include "storage/fileresult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ravno {

QByteArray encodeText(const QString &text);
QString decodeText(const QByteArray &bytes);
// The characters of text that windows-1251 cannot hold, each once, in order
// of appearance; empty when the whole text can be stored.
QString charactersOutsideCodePage(const QString &text);

// path is absolute; shownName is what messages call the file ("files/lastans").
// Writers store every line end as CR LF, refuse a text with characters the
// code page lacks, and never create a missing folder.
Status replaceFile(const QString &path, const QString &shownName, const QString &text);
Status appendToFile(const QString &path, const QString &shownName, const QString &text);
Result<QString> readWholeFile(const QString &path, const QString &shownName);

// The lines of a decoded text, split at CR LF or LF; a final line end gives
// no extra empty line.
QStringList splitLines(const QString &text);

} // namespace ravno
