// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/helplauncher.h"

#include <QFileInfo>
#include <QProcess>

namespace ravno {

HelpCommand helpCommand(const QDir &workingFolder)
{
    const QDir folder(QDir::cleanPath(workingFolder.absolutePath()));
    return {folder.absoluteFilePath(kHelpLauncher), {folder.absoluteFilePath(kHelpPage)},
            folder.path()};
}

Status startHelp(const QDir &workingFolder)
{
    const HelpCommand command = helpCommand(workingFolder);
    if (!QFileInfo(command.arguments.constFirst()).isFile()) {
        return FileError{kHelpPage,
                         QStringLiteral("Не удалось открыть справку: нет файла %1.").arg(kHelpPage)};
    }
    if (!QProcess::startDetached(command.program, command.arguments, command.workingFolder)) {
        return FileError{kHelpLauncher,
                         QStringLiteral("Не удалось открыть справку: не запускается %1.")
                             .arg(kHelpLauncher)};
    }
    return success();
}

} // namespace ravno
