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

HelpStatus startHelp(const QDir &workingFolder, std::function<void(const HelpFault &)> lateFailure,
                     int watchMs)
{
    const HelpCommand command = helpCommand(workingFolder);
    const QString page = command.arguments.constFirst();
    if (!QFileInfo(page).isFile())
        return HelpFault{HelpFailure::PageMissing, kHelpPage};
    // Not detached, so that its exit is heard; without a parent, so that
    // nothing ends it. It goes when the launcher has ended.
    auto *launcher = new QProcess;
    launcher->setProcessChannelMode(QProcess::ForwardedChannels);
    launcher->setStandardInputFile(QProcess::nullDevice());
    launcher->setWorkingDirectory(command.workingFolder);
    launcher->start(command.program, command.arguments);
    if (!launcher->waitForStarted()) {
        delete launcher;
        return HelpFault{HelpFailure::NotStarted, kHelpLauncher};
    }
    auto *watch = new QTimer(launcher);
    watch->setSingleShot(true);
    watch->start(watchMs);
    QObject::connect(launcher, &QProcess::finished, launcher,
                     [launcher, watch, page, lateFailure](int exitCode, QProcess::ExitStatus status) {
                         const bool failed = status != QProcess::NormalExit || exitCode != 0;
                         if (failed && watch->isActive() && lateFailure) {
                             lateFailure(HelpFault{HelpFailure::BrowserFailed,
                                                   QDir::toNativeSeparators(page)});
                         }
                         launcher->deleteLater();
                     });
    return Done{};
}

} // namespace ravno
