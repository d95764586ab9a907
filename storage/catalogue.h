// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue files/SaveList: one saved name per line; empty lines and
// lines of exactly one blank carry no name; duplicates are allowed. Every
// change runs under the lock files/SaveList.lock (storage/filelock.h).
#pragma once

#include "storage/datafolder.h"
#include "storage/fileresult.h"
#include "storage/textfile.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace ravno {

class OpenFiles;

// Why name cannot go into the catalogue, or nothing: a name is listed only
// when both readers (the lists and the view) give its line back unchanged.
std::optional<NameRefusal> refuseCatalogueName(const QString &name);

Status createCatalogue(const DataFolder &folder);             // one empty line
// Refuses, and leaves the file alone, what refuseArrayName or
// refuseCatalogueName refuses.
Status appendCatalogueName(const DataFolder &folder, const QString &name);
Status appendCatalogueEmptyLine(const DataFolder &folder);    // creates the file
// Replaces the catalogue by text + CR LF. With shownFrom (taken by
// readCatalogueForDisplay), the names added since follow the text and are
// returned, and a catalogue rewritten meanwhile is refused and left alone.
Result<QStringList> rewriteCatalogue(const DataFolder &folder, const QString &text,
                                     FileSnapshot *shownFrom = nullptr);
// The lists show at most this many names, the first ones: more would keep
// the window from opening for minutes.
inline constexpr qsizetype kMostListedNames = 100000;
// The names, at most kMostListedNames; cut, when given, tells whether the
// catalogue held more.
Result<QStringList> readCatalogueNames(const DataFolder &folder, bool *cut = nullptr);
// The catalogue editor's text: each item (item reader) followed by CR LF;
// taken, when given, receives the snapshot of the bytes it was read from.
// A catalogue over kMostShownBytes is refused.
Result<QString> readCatalogueForDisplay(const DataFolder &folder, FileSnapshot *taken = nullptr);

// The names for the lists, and what the listing has to say beside them.
struct ListedNames
{
    QStringList names;
    bool cut = false; // the catalogue holds more: names are its first kMostListedNames
    // The empty line that could not be appended before the reading (a full
    // disk, a read-only file), told after the names are shown.
    std::optional<FileError> notice;
};

// The save/load window's catalogue commands: each closes every open file
// first (ending the paging of the answer log), then reads or writes.
class Catalogue
{
public:
    Catalogue(const DataFolder &folder, OpenFiles &files);

    Status create();
    // Appends an empty line (creating the catalogue), then reads the names.
    Result<ListedNames> names();
    Status add(const QString &name);
    // The view's text; the next rewrite keeps the names added after it.
    Result<QString> show();
    Result<QStringList> rewrite(const QString &text);

private:
    DataFolder m_folder;
    OpenFiles &m_files;
    FileSnapshot m_shown; // the catalogue as show() last read it
};

} // namespace ravno
