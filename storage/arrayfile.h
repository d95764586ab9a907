// SPDX-License-Identifier: GPL-3.0-or-later
// The array file shared by saved arrays (files/<name>) and the editor's last
// array (files/LostMas): line 1 the editor's order scroll position (12 minus
// the order), then one line per piece of the editor text, each the piece's
// leading-number value in print form, or a fraction piece's value: in print
// form where that reads back as the same number, else as the fraction in
// lowest terms (" 1/3 "). The readers take every line as it stands, so a
// fraction comes back to the editor as a fraction.
#pragma once

#include "storage/datafolder.h"
#include "storage/fileresult.h"

#include <QString>

#include <optional>

namespace ravno {

class OpenFiles;

// Writes the whole file anew from the scroll position and the editor text.
// A name that refuseArrayName refuses is refused here as well.
Status writeArrayFile(const DataFolder &folder, const QString &name, int scrollPosition,
                      const QString &editorText);

// The file's content as the writer above produces it (for tests and tools).
QString arrayFileText(int scrollPosition, const QString &editorText);

struct LoadedArray
{
    bool hasData = true; // the last array: false when its first item is empty
    int scrollPosition = 0;
    QString editorText; // what the editor text holds at the end of the load
    // The last array: the empty line that could not be appended before the
    // reading (a full disk, a read-only file), told after the load.
    std::optional<FileError> notice;
};

// A saved array: the first item sets the scroll position; every further
// item, empty ones too, goes into the editor text, the items joined by
// single blanks (so the text saves back to the same file).
// A first item that is no scroll position (after rounding halves to even) is
// refused before anything changes, and so is a name refuseArrayName refuses.
Result<LoadedArray> readNamedArray(const DataFolder &folder, const QString &name);

// The last array: first one empty line is appended to files/LostMas (which
// creates it); an empty first item means no data (hasData false, the text
// empty); empty items are skipped and every other item goes into the text
// in its own text, joined by single blanks. A first item that is no scroll
// position is refused.
Result<LoadedArray> readLastArray(const DataFolder &folder);

// The windows' array commands: each closes every open file first (an array
// command ends the paging of the answer log), then reads or writes.
class ArrayStore
{
public:
    ArrayStore(const DataFolder &folder, OpenFiles &files);

    Status save(const QString &name, int scrollPosition, const QString &editorText);
    Result<LoadedArray> load(const QString &name);
    Result<LoadedArray> loadLast();

private:
    DataFolder m_folder;
    OpenFiles &m_files;
};

} // namespace ravno
