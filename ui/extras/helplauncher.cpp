// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/extras/helplauncher.h"

#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace ravno {

HelpCommand helpCommand(const QDir &workingFolder)
{
    const QDir folder(QDir::cleanPath(workingFolder.absolutePath()));
    return {folder.absoluteFilePath(kHelpLauncher), {folder.absoluteFilePath(kHelpPage)},
            folder.path()};
}

Status startHelp(const QDir &workingFolder, std::function<void(const FileError &)> lateFailure,
                 int watchMs)
{
    const HelpCommand command = helpCommand(workingFolder);
    const QString page = command.arguments.constFirst();
    if (!QFileInfo(page).isFile())
        return FileError{Failure::HelpPageMissing, kHelpPage, Access::Read};
    // Not detached, so that its exit is heard; without a parent, so that
    // nothing ends it. It goes when the launcher has ended.
    auto *launcher = new QProcess;
    launcher->setProcessChannelMode(QProcess::ForwardedChannels);
    launcher->setStandardInputFile(QProcess::nullDevice());
    launcher->setWorkingDirectory(command.workingFolder);
    launcher->start(command.program, command.arguments);
    if (!launcher->waitForStarted()) {
        delete launcher;
        return FileError{Failure::HelpNotStarted, kHelpLauncher, Access::Read};
    }
    auto *watch = new QTimer(launcher);
    watch->setSingleShot(true);
    watch->start(watchMs);
    QObject::connect(launcher, &QProcess::finished, launcher,
                     [launcher, watch, page, lateFailure](int exitCode, QProcess::ExitStatus status) {
                         const bool failed = status != QProcess::NormalExit || exitCode != 0;
                         if (failed && watch->isActive() && lateFailure) {
                             lateFailure(FileError(Failure::BrowserFailed, kHelpPage,
                                                   Access::Read,
                                                   {QDir::toNativeSeparators(page)}));
                         }
                         launcher->deleteLater();
                     });
    return success();
}

} // namespace ravno
