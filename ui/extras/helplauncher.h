// SPDX-License-Identifier: GPL-3.0-or-later
// "Справка": the help page files/help.htm opened by the launcher files/iexplore
// of the working folder, started without waiting. The main window's and the
// editor's help items call startHelp() and show the message of a failure.
#pragma once

#include "storage/fileresult.h"

#include <QDir>
#include <QStringList>

namespace ravno {

inline const QString kHelpLauncher = QStringLiteral("files/iexplore");
inline const QString kHelpPage = QStringLiteral("files/help.htm");

struct HelpCommand
{
    QString program;         // absolute path of files/iexplore
    QStringList arguments;   // the absolute path of files/help.htm, as one argument
    QString workingFolder;
};

HelpCommand helpCommand(const QDir &workingFolder = QDir::current());

// Starts the launcher detached; whatever it does afterwards is its own
// business. Fails, with the Russian sentence to show, when the help page is
// missing or the launcher cannot be started.
Status startHelp(const QDir &workingFolder = QDir::current());

} // namespace ravno
