// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/catalogue.h"

#include "storage/answerlog.h"
#include "storage/filelock.h"
#include "storage/itemreader.h"
#include "storage/textfile.h"

namespace ravno {
namespace {

QString path(const DataFolder &folder)
{
    return folder.pathOf(kCatalogueName);
}

QString shown()
{
    return DataFolder::displayName(kCatalogueName);
}

bool carriesName(QStringView line)
{
    return !line.isEmpty() && line != u" ";
}

Status appendLocked(const DataFolder &folder, const QString &text)
{
    return underLock(path(folder), shown(), folder.lockWaitMs(),
                     [&] { return appendToFile(path(folder), shown(), text); });
}

} // namespace

std::optional<NameRefusal> refuseCatalogueName(const QString &name)
{
    // Read back as both readers read the line: the lists and the view.
    QStringList items;
    forEachItem(name, [&](QStringView item) { items.append(item.toString()); });
    if (carriesName(name) && items == QStringList{name})
        return std::nullopt;
    NameRefusal refusal{NameReason::ChangedInList, name, QString(), items};
    if (!carriesName(name))
        refusal.reason = NameReason::UnseenInList;
    else if (items == QStringList{QString()})
        refusal.reason = NameReason::EmptyInList;
    return refusal;
}

Status createCatalogue(const DataFolder &folder)
{
    return underLock(path(folder), shown(), folder.lockWaitMs(),
                     [&] { return replaceFile(path(folder), shown(), kLineEnd); });
}

Status appendCatalogueName(const DataFolder &folder, const QString &name)
{
    // A line break in the name would list it as two names, a refused name
    // one that cannot be loaded.
    if (auto refusal = refuseArrayName(name))
        return refusedName(shown(), *refusal);
    if (auto refusal = refuseCatalogueName(name))
        return refusedName(shown(), *refusal);
    return appendLocked(folder, name + kLineEnd);
}

Status appendCatalogueEmptyLine(const DataFolder &folder)
{
    return appendLocked(folder, kLineEnd);
}

Result<QStringList> rewriteCatalogue(const DataFolder &folder, const QString &text,
                                     FileSnapshot *shownFrom)
{
    return underLock(path(folder), shown(), folder.lockWaitMs(), [&]() -> Result<QStringList> {
        if (shownFrom && shownFrom->taken())
            return replaceKeepingAdded(path(folder), shown(), text + kLineEnd, *shownFrom,
                                       Failure::CatalogueRewritten);
        const Status written = replaceFile(path(folder), shown(), text + kLineEnd);
        if (!written)
            return written.error();
        return QStringList();
    });
}

Result<QStringList> readCatalogueNames(const DataFolder &folder, bool *cut)
{
    QStringList names;
    bool more = false;
    const Status read = readLines(path(folder), shown(), [&](QStringView line) {
        if (!carriesName(line))
            return true;
        more = names.size() == kMostListedNames;
        if (!more)
            names.append(line.toString());
        return !more;
    });
    if (!read)
        return read.error();
    if (cut)
        *cut = more;
    return names;
}

Result<QString> readCatalogueForDisplay(const DataFolder &folder, FileSnapshot *taken)
{
    QString display;
    const Status read = readLines(
        path(folder), shown(),
        [&](QStringView line) {
            forEachItem(line, [&](QStringView item) {
                display += item;
                display += kLineEnd;
            });
            return display.size() <= kMostShownBytes;
        },
        taken);
    if (!read)
        return read.error();
    if (display.size() > kMostShownBytes)
        return tooLargeToShow(path(folder), shown());
    return display;
}

Catalogue::Catalogue(const DataFolder &folder, OpenFiles &files)
    : m_folder(folder)
    , m_files(files)
{
}

Status Catalogue::create()
{
    m_files.closeAll();
    return createCatalogue(m_folder);
}

Result<ListedNames> Catalogue::names()
{
    m_files.closeAll();
    ListedNames listed;
    if (const Status appended = appendCatalogueEmptyLine(m_folder); !appended) {
        if (!readableDespite(appended.error(), path(m_folder)))
            return asReadFailure(appended.error());
        listed.notice = appended.error();
    }
    Result<QStringList> names = readCatalogueNames(m_folder, &listed.cut);
    if (!names)
        return names.error();
    listed.names = std::move(names.value());
    return listed;
}

Status Catalogue::add(const QString &name)
{
    m_files.closeAll();
    return appendCatalogueName(m_folder, name);
}

Result<QString> Catalogue::show()
{
    m_files.closeAll();
    return readCatalogueForDisplay(m_folder, &m_shown);
}

Result<QStringList> Catalogue::rewrite(const QString &text)
{
    m_files.closeAll();
    return rewriteCatalogue(m_folder, text, &m_shown);
}

} // namespace ravno
