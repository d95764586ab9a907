// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue files/SaveList: one saved name per line; empty lines and
// lines of exactly one blank carry no name; duplicates are allowed.
#pragma once

#include "storage/datafolder.h"
#include "storage/fileresult.h"

#include <QString>
#include <QStringList>

namespace ravno {

Status createCatalogue(const DataFolder &folder);             // one empty line
// Refuses, and leaves the file alone, what refuseArrayName refuses.
Status appendCatalogueName(const DataFolder &folder, const QString &name);
Status appendCatalogueEmptyLine(const DataFolder &folder);    // creates the file
Status rewriteCatalogue(const DataFolder &folder, const QString &text); // text + CR LF
Result<QStringList> readCatalogueNames(const DataFolder &folder);
// The catalogue editor's text: each item (item reader) followed by CR LF.
Result<QString> readCatalogueForDisplay(const DataFolder &folder);

} // namespace ravno
