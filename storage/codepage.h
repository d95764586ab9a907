// SPDX-License-Identifier: GPL-3.0-or-later
// The files' text form: windows-1251, lines ended by CR LF. Used by the
// writers and readers of storage/ and by the windows' checks of names.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ravno {

// The line end the files hold.
inline const QString kLineEnd = QStringLiteral("\r\n");

QByteArray encodeText(const QString &text);
QString decodeText(const QByteArray &bytes);
// The characters of text that windows-1251 cannot hold, each once, in order
// of appearance; empty when the whole text can be stored.
QString charactersOutsideCodePage(const QString &text);

// The lines of a decoded text, split at CR LF or LF; a final line end gives
// no extra empty line, and a CR that ends the text is taken for a line end.
QStringList splitLines(const QString &text);

} // namespace ravno
