// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the files so that nothing is lost. Whole files are replaced
// through a new file beside them, flushed and checked before it is renamed
// over the old one, so a full disk, a file-size limit or a kill keeps the
// old content whole, and the file keeps its permission bits. In a folder
// where no file can be made (a read-only one) a whole rewrite is refused:
// written in place, no failure could be undone. An append goes out as one
// write, in place; one that fails part way is cut back to the former end.
// Every file is reached relative to its folder, never through a link that
// leads out of it (storage/folderaccess.h).
#pragma once

#include "storage/fileresult.h"
#include "storage/filesnapshot.h"

#include <QByteArray>
#include <QString>

namespace ravno {

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

} // namespace ravno
