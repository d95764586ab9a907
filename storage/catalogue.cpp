// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/catalogue.h"

#include "storage/itemreader.h"
#include "storage/textfile.h"

namespace ravno {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString path(const DataFolder &folder)
{
    return folder.pathOf(kCatalogueName);
}

QString shown()
{
    return DataFolder::displayName(kCatalogueName);
}

} // namespace

Status createCatalogue(const DataFolder &folder)
{
    return replaceFile(path(folder), shown(), kLineEnd);
}

Status appendCatalogueName(const DataFolder &folder, const QString &name)
{
    // A line break in the name would list it as two names, a refused name
    // one that cannot be loaded.
    if (const auto refusal = refuseArrayName(name))
        return FileError{shown(), *refusal};
    return appendToFile(path(folder), shown(), name + kLineEnd);
}

Status appendCatalogueEmptyLine(const DataFolder &folder)
{
    return appendToFile(path(folder), shown(), kLineEnd);
}

Status rewriteCatalogue(const DataFolder &folder, const QString &text)
{
    return replaceFile(path(folder), shown(), text + kLineEnd);
}

Result<QStringList> readCatalogueNames(const DataFolder &folder)
{
    const Result<QString> text = readWholeFile(path(folder), shown());
    if (!text)
        return text.error();
    QStringList names;
    for (const QString &line : splitLines(text.value()))
        if (!line.isEmpty() && line != u" ")
            names.append(line);
    return names;
}

Result<QString> readCatalogueForDisplay(const DataFolder &folder)
{
    const Result<QString> text = readWholeFile(path(folder), shown());
    if (!text)
        return text.error();
    QString display;
    for (const QString &item : readItems(text.value()))
        display += item + kLineEnd;
    return display;
}

} // namespace ravno
