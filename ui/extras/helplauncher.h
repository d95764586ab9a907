// SPDX-License-Identifier: GPL-3.0-or-later
// "Справка": the help page files/help.htm opened by the launcher files/iexplore
// of the working folder, started without waiting. The main window's and the
// editor's help items call startHelp() and show the message of a failure.
#pragma once

#include "storage/fileresult.h"

#include <QDir>
#include <QStringList>

#include <functional>

namespace ravno {

inline const QString kHelpLauncher = QStringLiteral("files/iexplore");
inline const QString kHelpPage = QStringLiteral("files/help.htm");

struct HelpCommand
{
    QString program;         // absolute path of files/iexplore
    QStringList arguments;   // the absolute path of files/help.htm, as one argument
    QString workingFolder;
};

// Why the help did not open.
enum class HelpFailure {
    PageMissing, // file: the page as the user knows it
    NotStarted,  // file: the launcher
    BrowserFailed, // file: the page's native path
};

struct HelpFault
{
    HelpFailure kind = HelpFailure::PageMissing;
    QString file;
};

using HelpStatus = Result<Done, HelpFault>;

HelpCommand helpCommand(const QDir &workingFolder = QDir::current());

// How long a launcher's failure is still reported: long enough for it to
// find no browser, short enough that a browser it became is left alone.
inline constexpr int kHelpWatchMs = 5000;

// Starts the launcher without waiting for it. Fails at once when the help
// page is missing or the launcher cannot be started. When the launcher ends
// with a failure within watchMs, lateFailure is called with a fault that
// names the page; a launcher still
// running then is its own business.
HelpStatus startHelp(const QDir &workingFolder = QDir::current(),
                     std::function<void(const HelpFault &)> lateFailure = {},
                     int watchMs = kHelpWatchMs);

} // namespace ravno
