// SPDX-License-Identifier: GPL-3.0-or-later
// The Russian words for every failure the file formats and the help
// launcher report: the one place where a kind of failure becomes a sentence.
// Messages shows them.
#pragma once

#include "storage/fileresult.h"
#include "ui/extras/helplauncher.h"

#include <QString>

namespace ravno {

QString failureText(const FileError &error);
QString failureText(const NameRefusal &refusal);
QString failureText(const HelpFault &fault);

// The lists show only the first names of the catalogue at path.
QString listCutText(const QString &path, qsizetype shown);

} // namespace ravno
