// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/datafolder.h"

#include "storage/textfile.h"

#include <QStringList>

namespace ravno {
namespace {

const QString kFolderName = QStringLiteral("files");

// Files the program keeps in the same folder; an array saved under one of
// these names would overwrite it or be mistaken for it.
const QStringList kOwnFiles = {kCatalogueName,
                               kAnswerLogName,
                               kCatalogueName + QStringLiteral(".lock"),
                               kAnswerLogName + QStringLiteral(".lock"),
                               QStringLiteral("iexplore"),
                               QStringLiteral("help.htm")};

} // namespace

DataFolder::DataFolder(const QDir &workingFolder, int lockWaitMs)
    : m_working(workingFolder)
    , m_lockWaitMs(lockWaitMs)
{
}

QString DataFolder::pathOf(const QString &name) const
{
    const QDir folder(m_working.absoluteFilePath(kFolderName));
    // QDir takes a name that starts with ":" for a Qt resource and returns it
    // unchanged; "./" keeps such a name inside the folder.
    if (QDir::isAbsolutePath(name))
        return folder.absoluteFilePath(QStringLiteral("./") + name);
    return folder.absoluteFilePath(name);
}

QString DataFolder::displayName(const QString &name)
{
    return kFolderName + u'/' + name;
}

std::optional<NameRefusal> refuseArrayName(const QString &name)
{
    NameRefusal refusal{NameReason::Empty, name, QString(), QStringList()};
    const auto refused = [&](NameReason reason) {
        refusal.reason = reason;
        return refusal;
    };
    if (name.isEmpty())
        return refusal;
    if (name.contains(u'/') || name.contains(u'\\'))
        return refused(NameReason::WithSeparator);
    if (name == u"." || name == u"..")
        return refused(NameReason::OfFolder);
    for (const QString &own : kOwnFiles)
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return refused(NameReason::OfOwnFile);
    // Clearing a stale lock takes a second lock file of this ending for a
    // moment and deletes it afterwards, whatever it held.
    if (name.endsWith(QStringLiteral(".rmlock"), Qt::CaseInsensitive))
        return refused(NameReason::OfOwnFile);
    // DEL and U+0098 too: windows-1251 holds both, but neither shows in a list.
    for (QChar c : name)
        if (c.category() == QChar::Other_Control)
            return refused(NameReason::WithControl);
    refusal.characters = charactersOutsideCodePage(name);
    if (!refusal.characters.isEmpty())
        return refused(NameReason::OutsideCodePage);
    return std::nullopt;
}

} // namespace ravno
