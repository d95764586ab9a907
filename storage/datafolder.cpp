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

DataFolder::DataFolder(const QDir &workingFolder)
    : m_working(workingFolder)
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

std::optional<QString> refuseArrayName(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("Имя массива не задано.");
    if (name.contains(u'/') || name.contains(u'\\'))
        return QStringLiteral("Имя массива «%1» не годится: в нём не может быть знаков "
                              "«/» и «\\».").arg(name);
    if (name == u"." || name == u"..")
        return QStringLiteral("Имя массива «%1» не годится: так называются папки.").arg(name);
    for (const QString &own : kOwnFiles)
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Имя массива «%1» не годится: так называется файл самой "
                                  "программы.").arg(name);
    // DEL and U+0098 too: windows-1251 holds both, but neither shows in a list.
    for (QChar c : name)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("Имя массива не годится: в нём есть перевод строки или "
                                  "другой управляющий знак.");
    const QString missing = charactersOutsideCodePage(name);
    if (!missing.isEmpty())
        return QStringLiteral("Имя массива «%1» не годится: знаков «%2» нет в кодировке "
                              "windows-1251, и список SaveList не смог бы его сохранить.")
            .arg(name, missing);
    return std::nullopt;
}

} // namespace ravno
